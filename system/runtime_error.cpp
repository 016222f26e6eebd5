#include "system/runtime_error.h"

#include <cxxabi.h>
#include <dlfcn.h>
#ifndef __EMSCRIPTEN__
#include <execinfo.h>
#endif

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace gs {

namespace {

// The calls active when the last run-time error was raised, innermost first.
std::vector<void*>& lastTrace() {
    static std::vector<void*> t;
    return t;
}

// A code position as the report shows it: the offset into the program or library that
// holds it, so that the same fault gives the same number on every run.
unsigned codeOffset(void* addr, std::string* name) {
    Dl_info info{};
    auto offset = reinterpret_cast<std::uintptr_t>(addr);
    if (dladdr(addr, &info) && info.dli_fbase) {
        if (name && info.dli_sname) {
            int status = 0;
            char* demangled = abi::__cxa_demangle(info.dli_sname, nullptr, nullptr, &status);
            *name = status == 0 && demangled ? demangled : info.dli_sname;
            std::free(demangled);
        }
        offset -= reinterpret_cast<std::uintptr_t>(info.dli_fbase);
    }
    return static_cast<unsigned>(offset & 0xFFFFFFFFu);
}

std::string hex8(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "$%08X", value);
    return text;
}

} // namespace

[[noreturn]] __attribute__((noinline)) void raiseRuntimeError(int code) {
#ifdef __EMSCRIPTEN__
    // WebAssembly code has no addresses to walk or report: the page's report names the
    // error alone, at address 0.
    lastTrace().clear();
    throw RuntimeError(code, 0);
#else
    void* frames[32];
    int depth = backtrace(frames, 32);
    void* at = __builtin_return_address(0);
    // The trace starts at the failing operation: frames inside this function are dropped.
    int first = 0;
    while (first < depth && frames[first] != at) ++first;
    if (first == depth) first = 0;
    lastTrace().assign(frames + first, frames + depth);
    throw RuntimeError(code, codeOffset(at, nullptr));
#endif
}

std::string runtimeErrorReport(const RuntimeError& e) {
    std::string report =
        "Runtime error " + std::to_string(e.code) + " at " + hex8(e.address) + "\n";
    int shown = 0;
    for (void* frame : lastTrace()) {
        if (++shown > 16) break;
        std::string name;
        unsigned offset = codeOffset(frame, &name);
        report += "  " + hex8(offset);
        if (!name.empty()) report += "  " + name;
        report += "\n";
    }
    return report;
}

} // namespace gs
