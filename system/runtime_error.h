// The run-time error that ends the program: a failed console or file operation.
#pragma once

#include <exception>
#include <string>

namespace gs {

/// Error numbers the game meets.
enum RuntimeErrorCode : int {
    RE_FILE_NOT_FOUND = 2,
    RE_PATH_NOT_FOUND = 3,
    RE_ACCESS_DENIED = 5,
    RE_INPUT_ENDED = 100,  ///< the console input (a pipe or file) has no more bytes
    RE_READ_FAILED = 100,  ///< a file read failed half way through (the same "read past end")
    RE_WRITE_FAILED = 101, ///< output to a closed pipe or a failed device ("disk write error")
    RE_INVALID_NUMBER = 106,
};

/// Thrown where an operation fails; main() reports it and exits with `code`.
struct RuntimeError : std::exception {
    int code;
    unsigned address; ///< the failing code position shown in the report
    explicit RuntimeError(int c, unsigned addr = 0) : code(c), address(addr) {}
    const char* what() const noexcept override { return "runtime error"; }
};

/// Ends the current operation with run-time error `code`.
[[noreturn]] void raiseRuntimeError(int code);

/// The report: "Runtime error N at $XXXXXXXX" and the call trace, each line ending in "\n".
std::string runtimeErrorReport(const RuntimeError& e);

} // namespace gs
