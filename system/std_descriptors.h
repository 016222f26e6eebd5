// The three standard descriptors, made safe before the program opens anything.
#pragma once

namespace gs {

/// Holds descriptors 0, 1 and 2 open: a launcher may start the game with one of them
/// closed, and the next file opened (the display connection) would take its number and
/// be read as keys or written as reports. A closed one is taken by /dev/null opened for
/// reading only: standard input then ends at once (run-time error 100, as a pipe's end
/// does), and a write to standard output or error still fails as on a closed
/// descriptor. Call it first thing in main. False when /dev/null cannot be opened.
bool holdStandardDescriptors();

} // namespace gs
