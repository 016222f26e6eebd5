# The whole set-up on a fresh Debian machine: `make play` and `make test`.
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
RELEASE := build/release
TESTB   := build/test
BENCHB  := build/bench

.PHONY: deps play build test bench fuzz clean

deps:
	@tools/deps.sh

build: deps
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DGS_TESTS=OFF >/dev/null
	cmake --build $(RELEASE) --target gorvenshale -j$(JOBS)
	ln -sf release/gorvenshale build/gorvenshale

play: build
	./build/gorvenshale $(ARGS)

test: deps
	cmake -S . -B $(TESTB) -DCMAKE_BUILD_TYPE=Debug -DGS_SANITIZE=ON -DGS_TESTS=ON >/dev/null
	cmake --build $(TESTB) -j$(JOBS)
	tests/fuzz/run.sh $(FUZZ_SECONDS) $(JOBS)
	cd $(TESTB) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j$(JOBS)

bench: deps
	cmake -S . -B $(BENCHB) -DCMAKE_BUILD_TYPE=Release -DGS_TESTS=OFF -DGS_BENCH=ON >/dev/null
	cmake --build $(BENCHB) -j$(JOBS)
	./$(BENCHB)/gs_bench

fuzz: deps
	tests/fuzz/run.sh $(FUZZ_SECONDS) $(JOBS)

clean:
	rm -rf build
