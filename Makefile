# The whole set-up on a fresh Debian machine: `make play` and `make test`.
# `make check` is the quick loop while working; `make test` is everything CI runs.
# `make install` (PREFIX, DESTDIR), `make uninstall` and `make deb` install the game.
# `make web` builds the game as a web page in build/web; `make web-serve` shows it.
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
PREFIX ?= /usr/local
DESTDIR ?=
# The recipes read PREFIX and DESTDIR from their environment, quoted, so a path with blanks
# stays one path and no character in it reaches a shell as a command.
export PREFIX DESTDIR
RELEASE := build/release
TESTB   := build/test
BENCHB  := build/bench
TSANB   := build/tsan
DEBB    := build/deb
WEBB    := build/wasm
WEB     := build/web
# The release build knows the prefix: the installed level directory is compiled in. A
# relative PREFIX is taken from the top of the tree.
CONFIGURE_RELEASE := prefix=$$(realpath -ms -- "$$PREFIX") && \
                     cmake -S . -B "$(RELEASE)" -DCMAKE_BUILD_TYPE=Release -DGS_TESTS=OFF \
                     "-DCMAKE_INSTALL_PREFIX=$$prefix" >/dev/null
CTEST   := ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
           ctest --output-on-failure -j$(JOBS)

.PHONY: deps play build install uninstall deb icons web web-serve web-bench test-build check test \
        tsan bench fuzz format clean

# Every Debian package any target needs; each target installs only its own group.
deps:
	@tools/deps.sh

build:
	@tools/deps.sh play
	$(CONFIGURE_RELEASE)
	cmake --build "$(RELEASE)" --target gorvenshale -j$(JOBS)
	ln -sf release/gorvenshale build/gorvenshale

# A newcomer's first game is in the one window when there is a display: the questions are
# asked in it, not in a terminal the battlefield's window would cover. ARGS naming a
# --console of its own (or --headless, which has no window) are left as they are.
PLAY_WINDOW = $(if $(or $(findstring --console,$(ARGS)),$(findstring --headless,$(ARGS))),,\
                $(if $(or $(DISPLAY),$(WAYLAND_DISPLAY)),--console window))
play: build
	./build/gorvenshale $(strip $(PLAY_WINDOW) $(ARGS))

# The program in PREFIX/games, the levels in PREFIX/share/games/gorvenshale/level, the menu
# entry, the icons and the manual page; all under DESTDIR when it is given.
install:
	@tools/deps.sh play
	$(CONFIGURE_RELEASE)
	cmake --build "$(RELEASE)" -j$(JOBS)
	cmake --install "$(RELEASE)"

# Removes what `make install` with the same PREFIX and DESTDIR put there, and fails naming
# every path it could not remove.
uninstall:
	$(CONFIGURE_RELEASE)
	cmake --build "$(RELEASE)" --target uninstall

# build/gorvenshale_<version>_<arch>.deb, for prefix /usr.
deb:
	@tools/deps.sh deb
	tools/build_deb.sh "$(DEBB)" build $(JOBS)

# Draws the icons in dist/icons anew with the game's sprite code (commit them).
icons:
	@tools/deps.sh play
	$(CONFIGURE_RELEASE)
	cmake --build "$(RELEASE)" --target icons -j$(JOBS)

# The game as a web page: build/web is the whole site (index.html, the program, the demos).
web:
	@tools/deps.sh web
	tools/build_web.sh "$(WEBB)" "$(WEB)" $(JOBS)

# Shows build/web on this machine only.
web-serve: web
	@echo "Gorvenshale in a browser: http://localhost:8000/"
	python3 -m http.server 8000 --bind 127.0.0.1 --directory "$(WEB)"

# The page's figures (load time, sizes, pause accuracy, idle CPU), printed, in a real browser.
web-bench: web
	@tools/deps.sh test
	node bench/web/figures.mjs "$(WEB)"

# The install tests install this build into its own folder, build/test/prefix.
test-build:
	@tools/deps.sh test
	cmake -S . -B "$(TESTB)" -DCMAKE_BUILD_TYPE=Debug -DGS_SANITIZE=ON -DGS_TESTS=ON \
		-DGS_WERROR=ON "-DCMAKE_INSTALL_PREFIX=$$(realpath -ms -- "$(TESTB)")/prefix" >/dev/null
	cmake --build "$(TESTB)" -j$(JOBS)

# The unit and end-to-end tests and the style checks, without the fuzzing, the soak and
# the package (which needs a release build of its own).
check: test-build
	cd "$(TESTB)" && $(CTEST) -LE 'soak|package'

# Everything: the style checks first (they fail fast), the fuzzers, every test, then the
# window's threads under ThreadSanitizer.
test: test-build
	tools/check_format.sh
	tools/check_includes.py
	tests/fuzz/run.sh $(FUZZ_SECONDS) $(JOBS)
	cd "$(TESTB)" && $(CTEST)
	$(MAKE) tsan

# The window tests and the end-to-end tests (real windows on Xvfb, real terminals) in a
# build with ThreadSanitizer, which cannot be combined with AddressSanitizer: any report
# fails the test it comes from, unless tests/tsan/suppressions.txt names its library.
tsan:
	@tools/deps.sh test
	cmake -S . -B "$(TSANB)" -DCMAKE_BUILD_TYPE=Debug -DGS_TSAN=ON -DGS_TESTS=ON -DGS_WERROR=ON \
		>/dev/null
	cmake --build "$(TSANB)" --target test_frontend test_e2e gorvenshale gs_keep_libraries -j$(JOBS)
	cd "$(TSANB)" && export TSAN_OPTIONS="halt_on_error=1 suppressions=$(CURDIR)/tests/tsan/suppressions.txt" && \
		ctest --output-on-failure -j$(JOBS) -L frontend -R '^(Window|OneWindow)' && \
		ctest --output-on-failure -j$(JOBS) -L e2e

bench:
	@tools/deps.sh bench
	cmake -S . -B "$(BENCHB)" -DCMAKE_BUILD_TYPE=Release -DGS_TESTS=OFF -DGS_BENCH=ON >/dev/null
	cmake --build "$(BENCHB)" -j$(JOBS)
	"./$(BENCHB)/gs_bench"

fuzz:
	@tools/deps.sh test
	tests/fuzz/run.sh $(FUZZ_SECONDS) $(JOBS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
