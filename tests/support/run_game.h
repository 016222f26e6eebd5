// Runs the built game as a player would from a shell: arguments, standard input from a
// file (so every byte is a key), output and errors collected, exit status decoded.
// Header-only: GS_BINARY and GS_SOURCE_DIR are defined for the test programs.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace gs::test {

namespace fs = std::filesystem;

struct GameRun {
    int status = -1; ///< exit status, or 128 + signal
    std::string out, err;
};

inline std::string slurp(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

/// A fresh, empty scratch folder of this test process.
inline fs::path scratch(const std::string& name) {
    fs::path d = fs::temp_directory_path() / ("gs_e2e_" + std::to_string(getpid()) + "_" + name);
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

/// How often `needle` stands in `hay`.
inline int count(const std::string& hay, const std::string& needle) {
    int n = 0;
    for (auto p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1)) ++n;
    return n;
}

/// Runs a shell command: its standard output, and its exit status in *status.
inline std::string shell(const std::string& cmd, int* status = nullptr) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    int st = pclose(p);
    if (status) *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return out;
}

/// True when `tool` is on the PATH.
inline bool haveTool(const std::string& tool) {
    int st = -1;
    shell("command -v " + tool + " >/dev/null 2>&1", &st);
    return st == 0;
}

/// Environment changes for a run: a variable set to a value, or removed (no value).
using EnvChanges = std::vector<std::pair<std::string, std::optional<std::string>>>;

/// Runs `program` in `cwd` with `input` as its standard input and `env` applied.
inline GameRun runProgram(const std::string& program, const std::vector<std::string>& args,
                          const std::string& input, const fs::path& cwd,
                          const EnvChanges& env = {}) {
    const fs::path io = scratch("io");
    std::ofstream(io / "in", std::ios::binary) << input;
    pid_t pid = fork();
    if (pid == 0) {
        int in = open((io / "in").c_str(), O_RDONLY);
        int out = open((io / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open((io / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || chdir(cwd.c_str()) != 0) _exit(120);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        // A won Campaign level is kept: never in the progress of the player running the tests.
        // (One folder for every run: nothing reads it without --continue.)
        setenv("XDG_STATE_HOME", (fs::temp_directory_path() / "gs_e2e_state").c_str(), 1);
        for (const auto& [name, value] : env)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(121);
    }
    GameRun r;
    int st = 0;
    if (waitpid(pid, &st, 0) == pid)
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    r.out = slurp(io / "out");
    r.err = slurp(io / "err");
    fs::remove_all(io);
    return r;
}

/// Runs the game in `cwd` (the repository root by default, where ./level/ is) with
/// `input` as its standard input.
inline GameRun runGame(const std::vector<std::string>& args, const std::string& input,
                       const fs::path& cwd = GS_SOURCE_DIR) {
    return runProgram(GS_BINARY, args, input, cwd);
}

} // namespace gs::test
