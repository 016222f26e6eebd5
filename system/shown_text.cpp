#include "system/shown_text.h"

#include <cstdio>

namespace gs {

std::string shownText(std::string_view text, std::size_t most) {
    std::string shown;
    for (std::size_t at = 0; at < text.size() && at < most; ++at) {
        const unsigned char byte = static_cast<unsigned char>(text[at]);
        if (byte >= 0x20 && byte <= 0x7E) {
            shown += static_cast<char>(byte);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            shown += hex;
        }
    }
    if (text.size() > most) shown += "...";
    return shown;
}

} // namespace gs
