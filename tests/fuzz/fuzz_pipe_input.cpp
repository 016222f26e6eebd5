// Arbitrary bytes on standard input when it is a pipe or a file, as a scripted game reads
// them: the real terminal backend turns them into keys and the console answers the game's
// reads in the order a whole game asks them (menu numbers, the level number, speed and
// angle, the replay character). Every read must end: with a value, with a refusal of a
// token that is not a number, or with run-time error 100 when the input runs out; a
// script of refused answers asked again and again still ends with error 100.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "console/console.h"
#include "console/terminal_std.h"
#include "system/runtime_error.h"

namespace {

using namespace gs;

int devNull = -1;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    return devNull >= 0 ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 60000) return 0; // stays within one pipe buffer, so the write never blocks
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) std::abort();
    if (size && write(fds[1], data, size) != static_cast<ssize_t>(size)) std::abort();
    close(fds[1]);
    {
        StdTerminal term(fds[0], devNull);
        if (term.inputIsTerminal() || term.isScreen()) std::abort();
        Console con(term);
        i16 a = 0, b = 0;
        u8 m = 0;
        try {
            // A bounded game's worth of reads; the input ends long before on most inputs.
            // A refused answer is asked again, as the game's questions do.
            for (int n = 0; n < 1000; ++n) {
                switch (n % 6) {
                case 0:
                    while (!con.ReadUnsigned(m)) {
                    }
                    break;
                case 1: con.WaitKey(); break;
                case 2:
                    while (!con.ReadLn(a)) {
                    }
                    break;
                case 3: con.KeyPressed(); break;
                case 4:
                    while (!con.ReadLn(a, b)) {
                    }
                    break;
                default: con.ReadCharLn(); break;
                }
                if (con.bufferedInput().size() > MAX_LINE + 2) std::abort();
            }
        } catch (const RuntimeError& e) {
            if (e.code != RE_INPUT_ENDED) {
                std::fprintf(stderr, "unexpected runtime error %d\n", e.code);
                std::abort();
            }
        }
    }
    close(fds[0]);
    return 0;
}
