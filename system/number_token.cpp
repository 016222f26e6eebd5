#include "system/number_token.h"

namespace gs {

namespace {

int digitValue(unsigned char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'z') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'Z') return ch - 'A' + 10;
    return 99;
}

} // namespace

std::optional<std::int64_t> parseNumberToken(std::string_view token, bool isUnsigned) {
    std::size_t at = 0;
    bool negative = false;
    if (at < token.size() && (token[at] == '+' || token[at] == '-')) {
        negative = token[at] == '-';
        ++at;
    }
    if (negative && isUnsigned) return std::nullopt;
    int base = 10;
    if (at < token.size() && token[at] == '$') {
        base = 16;
        ++at;
    } else if (at + 1 < token.size() && token[at] == '0' && token[at + 1] == 'x') {
        base = 16;
        at += 2;
    } else if (at < token.size() && token[at] == '%') {
        base = 2;
        ++at;
    } else if (at < token.size() && token[at] == '&') {
        base = 8;
        ++at;
    }
    if (at >= token.size()) return std::nullopt; // a sign or a prefix without digits
    // The magnitude may reach 2^31 for a negative number, 2^32 - 1 for an unsigned read.
    const std::int64_t limit = isUnsigned ? 0xFFFFFFFFLL : (negative ? 0x80000000LL : 0x7FFFFFFFLL);
    std::int64_t value = 0;
    for (; at < token.size(); ++at) {
        int digit = digitValue(static_cast<unsigned char>(token[at]));
        if (digit >= base) return std::nullopt;
        value = value * base + digit;
        if (value > limit) return std::nullopt;
    }
    return negative ? -value : value;
}

} // namespace gs
