#include "frontend/web/local_storage.h"

#include <emscripten.h>

// Each call leaves its answer (the kept text, or why the storage refused) in
// Module.gsStorageText and gives its length in UTF-8 bytes, -1 when nothing is kept, or
// -2 - the length when the storage refused; gs_storage_text copies it out.
EM_JS(int, gs_storage_get, (const char* key), {
    try {
        const v = window.localStorage.getItem(UTF8ToString(key));
        if (v == null) return -1;
        Module.gsStorageText = v;
        return lengthBytesUTF8(v);
    } catch (e) {
        Module.gsStorageText = String((e && e.message) || e);
        return -2 - lengthBytesUTF8(Module.gsStorageText);
    }
});
EM_JS(int, gs_storage_set, (const char* key, const char* text), {
    try {
        window.localStorage.setItem(UTF8ToString(key), UTF8ToString(text));
        return 0;
    } catch (e) {
        Module.gsStorageText = String((e && e.message) || e);
        return -2 - lengthBytesUTF8(Module.gsStorageText);
    }
});
EM_JS(void, gs_storage_text, (char* out, int size),
      { stringToUTF8(Module.gsStorageText, out, size); });

namespace gs {

namespace {

std::string storageText(int length) {
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    gs_storage_text(text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

} // namespace

std::optional<std::string> readLocalStorage(const std::string& key, std::string& error) {
    const int got = gs_storage_get(key.c_str());
    if (got == -1) return std::nullopt;
    if (got < -1) {
        error = storageText(-2 - got);
        if (error.empty()) error = "the browser refuses its storage";
        return std::nullopt;
    }
    return storageText(got);
}

bool writeLocalStorage(const std::string& key, const std::string& text, std::string& error) {
    const int got = gs_storage_set(key.c_str(), text.c_str());
    if (got == 0) return true;
    error = storageText(-2 - got);
    if (error.empty()) error = "the browser refuses its storage";
    return false;
}

} // namespace gs
