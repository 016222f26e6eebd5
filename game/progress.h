// The Campaign's progress kept between games: the last Campaign level won and the level
// directory it came from, so that --continue starts the Campaign at the level after it.
// Where it is kept is the program's choice (a file on the desktop, the browser's local
// storage on the page); keeping it never stops a game.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "state/game.h"

namespace gs {

/// Where the progress is kept.
struct ProgressStore {
    std::string where; ///< named in the line that says it cannot be read or kept
    /// The kept text. Nothing, with `error` empty, when nothing is kept yet; nothing, with
    /// `error` set, when it cannot be read.
    std::function<std::optional<std::string>(std::string& error)> read;
    /// Replaces the kept text whole; false, with `error` set, when it cannot.
    std::function<bool(const std::string& text, std::string& error)> write;
};

/// What is kept: the last Campaign level won, of the level directory `levels`.
struct CampaignRecord {
    i16 won = 0;
    std::string levels;
};

/// One game's Campaign progress: where it is kept, and what the game has learned of it.
struct CampaignProgress {
    CampaignProgress() = default;
    CampaignProgress(bool continueIt, bool keepIt, ProgressStore keptIn)
        : continueCampaign(continueIt), keep(keepIt), store(std::move(keptIn)) {}

    bool continueCampaign = false; ///< --continue: the Campaign starts after the last win
    bool keep = false;             ///< false while a demo is replayed: nothing is written
    ProgressStore store;

    bool read = false;                   ///< the store was read (with --continue, once)
    std::optional<CampaignRecord> known; ///< the last Campaign level won, as far as known
    std::vector<std::string> notes;      ///< lines not yet said
    bool keepFailed = false;             ///< said once per game
};

/// The kept text of a record, and back (nothing for a text that is not one).
std::string formatProgress(const CampaignRecord& r);
std::optional<CampaignRecord> parseProgress(std::string_view text);

/// The desktop's progress file: `$XDG_STATE_HOME/gorvenshale/campaign`, with
/// `~/.local/state` when XDG_STATE_HOME is unset or not absolute; empty without a home.
std::string progressFilePath();
/// The progress kept in the file at `path` (none kept when `path` is empty).
ProgressStore progressFile(const std::string& path);

/// The level a Campaign starts at: 1, or with --continue the one after the last Campaign
/// level won when that level's file is there and of the same level directory. Why it is
/// not, or why the kept progress is ignored, is said in the console.
i16 campaignFirstLevel(Game& G);
/// Keeps `LEV` as the last Campaign level won (in memory even when it cannot be written).
void campaignLevelWon(Game& G);
/// Says what the progress could not do since it was last said (once per cause).
void sayCampaignNotes(Game& G);

} // namespace gs
