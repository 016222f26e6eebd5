// Every text the player reads in the console, in one place: the game writes them from
// here, and the automatic players recognise the questions by the same texts.
#pragma once

namespace gs::text {

// The menus.
constexpr const char* TITLE = "Gorvenshale";
constexpr const char* SELECT_MENU_POINT = "Select menu point";
constexpr const char* SELECT_GAME_TYPE = "Select game type";
constexpr const char* MAIN_MENU[3] = {"1.Play", "2.About", "3.Quit"};
constexpr const char* GAME_TYPES[3] = {"1.Campaign", "2.Custom level", "3.Scirmish"};
constexpr const char* ENTER_LEVEL_NUMBER = "Enter the level number";
/// A Custom level number without a level file: this, the number, then the tail.
constexpr const char* NO_SUCH_LEVEL = "There is no level ";
constexpr const char* NO_SUCH_LEVEL_TAIL = ". Press any key.";
constexpr const char* SELECT_DIFFICULTY =
    "Select an enemy difficulty (1-very easy, 2-easy, 3-normal, 4-hard, 5-very hard)";
/// Written when an answer to a question is not a number; the question is asked again.
constexpr const char* NOT_A_NUMBER = "That answer is not a number";
/// About: the title, then " version X, YEAR" and this.
constexpr const char* ABOUT_TAIL = ": an artillery game";
/// Written when the won level was the last file of the Campaign.
constexpr const char* CAMPAIGN_COMPLETE =
    "Congratulations! You have completed the campaign. Press any key.";

// The Campaign's progress kept between games (--continue).
/// --continue, when the level after the last one won has no file: this, that level's
/// number, then the tail.
constexpr const char* CONTINUE_NO_LEVEL = "There is no level ";
constexpr const char* CONTINUE_NO_LEVEL_TAIL = " to continue at; the Campaign starts at level 1.";
/// --continue, when the level won was of another level directory: this, that directory,
/// then the tail.
constexpr const char* CONTINUE_OTHER_LEVELS = "The last Campaign level won was of the levels in ";
constexpr const char* CONTINUE_OTHER_LEVELS_TAIL = ", not these; the Campaign starts at level 1.";
/// The kept progress cannot be read: this, where it is kept and why in brackets, the tail.
constexpr const char* PROGRESS_UNREADABLE = "The Campaign progress kept in ";
constexpr const char* PROGRESS_UNREADABLE_TAIL = " is ignored; the Campaign starts at level 1.";
/// The progress cannot be kept: this, where and why in brackets, then the tail.
constexpr const char* PROGRESS_NOT_KEPT = "The Campaign progress cannot be kept in ";
constexpr const char* PROGRESS_NOT_KEPT_TAIL = "; the game goes on.";

/// The line the report of run-time error 3 adds, followed by the places looked at.
constexpr const char* NO_LEVEL_DIRECTORY = "No level directory; looked in ";
/// After the report that ends a game played in one window.
constexpr const char* PRESS_A_KEY_TO_CLOSE = "Press a key or close the window to end.";
/// The game's end when the X server or the desktop's session went away under the window.
constexpr const char* DISPLAY_LOST = "gorvenshale: the connection to the display was lost";

// The battle.
constexpr const char* AMMO_QUESTION =
    "Select a type of the ammunition (1-fugasy, 2-armor-biting, 3-tactical nuclear";
constexpr const char* SHOT_QUESTION = "Enter speed and angle of the shot";
constexpr const char* REPLAY_QUESTION = "You are defeated. Do you want to play level again? (Y/N)";
/// The empty-stock message of each ammunition code 1..3.
constexpr const char* NO_AMMUNITION[3] = {"You have no fugasy ammunition",
                                          "You have no armor-biting ammunition",
                                          "You have no tactical nuclear ammunition"};
/// Written when a turn begins with nothing left to fire: the level is lost.
constexpr const char* NO_SHELLS_LEFT = "You have no ammunition left";
constexpr const char* DEAD = "DEAD";
constexpr const char* VICTORY = "VICTORY!!!";
/// A unit has reached the gun.
constexpr const char* OVERRUN = "УБИТ";

} // namespace gs::text
