#include "game/progress.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "game/level_file.h"
#include "state/texts.h"
#include "system/runtime_error.h"
#include "system/whole_file.h"

namespace gs {

namespace {

constexpr std::string_view PROGRESS_HEAD = "gorvenshale-campaign 1\n";
/// A progress file is a few lines; anything much longer is not one.
constexpr std::size_t MAX_PROGRESS_FILE = 8192;

/// The level directory of this game as a whole path, so that the same folder reached from
/// another working directory is still the same.
std::string levelsPath(const LevelDirectory& dir) {
    const auto& found = dir.found;
    if (!found) return {};
    std::error_code ec;
    auto whole = std::filesystem::weakly_canonical(std::filesystem::absolute(*found, ec), ec);
    return ec ? *found : whole.string();
}

/// Reads the store once; a text that cannot be read or is no record is ignored, saying so.
void readStore(CampaignProgress& p) {
    if (p.read) return;
    p.read = true;
    if (!p.store.read) return;
    std::string error;
    const auto text = p.store.read(error);
    if (!text) {
        if (!error.empty())
            p.notes.push_back(text::PROGRESS_UNREADABLE + p.store.where + " (" + error + ")" +
                              text::PROGRESS_UNREADABLE_TAIL);
        return;
    }
    if (auto record = parseProgress(*text)) {
        p.known = std::move(record);
        return;
    }
    p.notes.push_back(text::PROGRESS_UNREADABLE + p.store.where + " (" +
                      (text->empty() ? "empty" : "not a Campaign progress") + ")" +
                      text::PROGRESS_UNREADABLE_TAIL);
}

} // namespace

std::string formatProgress(const CampaignRecord& r) {
    // The directory is last and runs to the final line end, so any name reads back whole.
    return std::string(PROGRESS_HEAD) + "won=" + std::to_string(r.won) + "\nlevels=" + r.levels +
           "\n";
}

std::optional<CampaignRecord> parseProgress(std::string_view text) {
    if (text.substr(0, PROGRESS_HEAD.size()) != PROGRESS_HEAD) return std::nullopt;
    text.remove_prefix(PROGRESS_HEAD.size());
    if (text.substr(0, 4) != "won=") return std::nullopt;
    text.remove_prefix(4);
    const auto lineEnd = text.find('\n');
    if (lineEnd == std::string_view::npos) return std::nullopt;
    int won = 0;
    const auto digits = text.substr(0, lineEnd);
    auto [end, status] = std::from_chars(digits.data(), digits.data() + digits.size(), won);
    if (digits.empty() || status != std::errc() || end != digits.data() + digits.size() ||
        won < 1 || won > 32766)
        return std::nullopt;
    text.remove_prefix(lineEnd + 1);
    if (text.substr(0, 7) != "levels=" || text.size() < 9 || text.back() != '\n')
        return std::nullopt;
    return CampaignRecord{static_cast<i16>(won), std::string(text.substr(7, text.size() - 8))};
}

std::string progressFilePath() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/gorvenshale/campaign";
    const char* home = std::getenv("HOME");
    if (!home || home[0] == '\0') return {};
    return std::string(home) + "/.local/state/gorvenshale/campaign";
}

ProgressStore progressFile(const std::string& path) {
    ProgressStore store;
    store.where = path.empty() ? std::string("a home folder (HOME is not set)") : path;
    store.read = [path](std::string& error) -> std::optional<std::string> {
        if (path.empty()) return std::nullopt;
        bool missing = false;
        auto text = readWholeFile(path, MAX_PROGRESS_FILE, missing, error);
        if (missing) error.clear();
        return text;
    };
    store.write = [path](const std::string& text, std::string& error) {
        if (path.empty()) {
            error = "no folder for it";
            return false;
        }
        return replaceWholeFile(path, text, error);
    };
    return store;
}

i16 campaignFirstLevel(Game& G) {
    if (!G.campaign || !G.campaign->continueCampaign) return 1;
    CampaignProgress& p = *G.campaign;
    readStore(p);
    if (!p.known) return 1;
    const std::string levels = levelsPath(G.levels);
    if (p.known->levels != levels) {
        p.notes.push_back(text::CONTINUE_OTHER_LEVELS + p.known->levels +
                          text::CONTINUE_OTHER_LEVELS_TAIL);
        return 1;
    }
    const i16 next = w16(p.known->won + 1);
    if (probeLevelFile(G.levels, next) != 0) {
        p.notes.push_back(text::CONTINUE_NO_LEVEL + std::to_string(next) +
                          text::CONTINUE_NO_LEVEL_TAIL);
        return 1;
    }
    return next;
}

void campaignLevelWon(Game& G) {
    if (!G.campaign) return;
    CampaignProgress& p = *G.campaign;
    p.known = CampaignRecord{G.LEV, levelsPath(G.levels)};
    if (!p.keep || !p.store.write) return;
    std::string error;
    if (p.store.write(formatProgress(*p.known), error) || p.keepFailed) return;
    p.keepFailed = true;
    p.notes.push_back(text::PROGRESS_NOT_KEPT + p.store.where + " (" + error + ")" +
                      text::PROGRESS_NOT_KEPT_TAIL);
}

void sayCampaignNotes(Game& G) {
    if (!G.campaign) return;
    for (const std::string& line : G.campaign->notes) G.con.WriteLn(line);
    G.campaign->notes.clear();
}

} // namespace gs
