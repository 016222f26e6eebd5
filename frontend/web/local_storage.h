// The browser's local storage: small texts the page keeps for the player between visits.
#pragma once

#include <optional>
#include <string>

namespace gs {

/// The text kept under `key` for this site. Nothing, with `error` empty, when nothing is
/// kept; nothing, with `error` set, when the browser does not let the page use its storage.
std::optional<std::string> readLocalStorage(const std::string& key, std::string& error);

/// Keeps `text` under `key`; false, with `error` set, when the browser refuses (storage
/// turned off, or full).
bool writeLocalStorage(const std::string& key, const std::string& text, std::string& error);

} // namespace gs
