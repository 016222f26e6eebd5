# The whole set-up on a fresh Debian machine: `make play` and `make test`.
# `make check` is the quick loop while working; `make test` is everything CI runs.
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
RELEASE := build/release
TESTB   := build/test
BENCHB  := build/bench
CTEST   := ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
           ctest --output-on-failure -j$(JOBS)

.PHONY: deps play build test-build check test bench fuzz format clean

deps:
	@tools/deps.sh

build: deps
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DGS_TESTS=OFF >/dev/null
	cmake --build $(RELEASE) --target gorvenshale -j$(JOBS)
	ln -sf release/gorvenshale build/gorvenshale

play: build
	./build/gorvenshale $(ARGS)

test-build: deps
	cmake -S . -B $(TESTB) -DCMAKE_BUILD_TYPE=Debug -DGS_SANITIZE=ON -DGS_TESTS=ON \
		-DGS_WERROR=ON >/dev/null
	cmake --build $(TESTB) -j$(JOBS)

# The unit and end-to-end tests and the style checks, without the fuzzing and the soak.
check: test-build
	cd $(TESTB) && $(CTEST) -LE soak

# Everything: the style checks first (they fail fast), the fuzzers, then every test.
test: test-build
	tools/check_format.sh
	tools/check_includes.py
	tests/fuzz/run.sh $(FUZZ_SECONDS) $(JOBS)
	cd $(TESTB) && $(CTEST)

bench: deps
	cmake -S . -B $(BENCHB) -DCMAKE_BUILD_TYPE=Release -DGS_TESTS=OFF -DGS_BENCH=ON >/dev/null
	cmake --build $(BENCHB) -j$(JOBS)
	./$(BENCHB)/gs_bench

fuzz: deps
	tests/fuzz/run.sh $(FUZZ_SECONDS) $(JOBS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
