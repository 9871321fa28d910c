# The two commands of the README: `make run` and `make test`.
MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc)
BUILD := build/release
TEST_BUILD := build/test
FUZZ_BUILD := build/fuzz
PACKAGE_BUILD := build/package
TSAN_BUILD := build/tsan
FUZZ_SECONDS ?= 600

.PHONY: deps test-deps build run demo test package bench-build bench bench-compare bench-encodings bench-windows clean fuzz-build fuzz-short fuzz tsan-test

# What the program needs; the tests and benchmarks need test-deps as well.
deps:
	@scripts/install-deps.sh packages.txt

test-deps:
	@scripts/install-deps.sh packages.txt packages-test.txt

# The program and norvane-search only: no tests, no benchmarks.
build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DNORVANE_TESTS=OFF -DNORVANE_BENCH=OFF >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target Norvane norvane-search

# Starts the program in the samples folder. The display is checked before
# anything is installed or built, so a terminal without one hears at once.
run:
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: there is no display to open the window on (DISPLAY is not set)." >&2; \
	  echo "  Run it in a desktop session, or on a virtual display: xvfb-run make run" >&2; \
	  sudo=$$([ "$$(id -u)" -eq 0 ] || echo "sudo "); \
	  command -v xvfb-run >/dev/null || \
	    echo "  (xvfb-run comes with the Debian packages xvfb and xauth: $${sudo}apt-get install xvfb xauth)" >&2; \
	  echo "  Under xvfb-run there is no window to close: stop it with Ctrl+C, or from another" >&2; \
	  echo "  terminal with pkill -x -U $$(id -u) Norvane, which stops only your own copies." >&2; \
	  exit 1; \
	fi
	@$(MAKE) build
	@cd samples && ../$(BUILD)/ui/Norvane

# A search of the samples from the command line, shown as a listing.
demo: build
	@cd samples && ../$(BUILD)/cli/norvane-search --output=utf-8 "港町" *.txt; status=$$?; [ $$status -le 1 ]

test: test-deps
	@cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DNORVANE_SANITIZE=ON -DNORVANE_BENCH=OFF >/dev/null
	@cmake --build $(TEST_BUILD) -j $(JOBS)
	@cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) tsan-test
	@$(MAKE) fuzz-short

# The Debian package, from a Release build of its own; prints its path.
package: deps
	@scripts/build-package.sh $(PACKAGE_BUILD)

# The global search's two readers under ThreadSanitizer, in a build of their
# own; part of `make test`.
tsan-test: test-deps
	@cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNORVANE_TSAN=ON -DNORVANE_TESTS=OFF -DNORVANE_BENCH=OFF -DNORVANE_UI=OFF >/dev/null
	@cmake --build $(TSAN_BUILD) -j $(JOBS) --target norvane_tsan_tests
	@TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" $(TSAN_BUILD)/tests/tsan/norvane_tsan_tests --gtest_brief=1

# libFuzzer targets of the core (tests/fuzz), in a clang build of their own.
fuzz-build: test-deps
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 -DNORVANE_FUZZ=ON -DNORVANE_SANITIZE=ON -DNORVANE_TESTS=OFF -DNORVANE_BENCH=OFF -DNORVANE_UI=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target norvane_fuzzers

# A few seconds per target with a fixed seed; part of `make test`.
fuzz-short: fuzz-build
	@tests/fuzz/run.sh $(FUZZ_BUILD) short

# Every target at once for FUZZ_SECONDS of wall time (600 by default).
fuzz: fuzz-build
	@tests/fuzz/run.sh $(FUZZ_BUILD) long $(FUZZ_SECONDS)

# The release build with the benchmarks added.
bench-build: test-deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DNORVANE_TESTS=OFF -DNORVANE_BENCH=ON >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

bench: bench-build
	@$(BUILD)/bench/norvane_micro_bench

# norvane-search beside grep and cat on a generated 1 GB corpus.
bench-compare: bench-build
	@bench/compare.sh

# The same prose in code page 932, UTF-8 and UTF-16: the cost of finding
# each file's encoding, and UTF-16's speed against UTF-8's.
bench-encodings: bench-build
	@bench/encodings.sh

# The windows beside norvane-search on listings of 1 and 3 million lines.
bench-windows: bench-build
	@bench/windows.sh

clean:
	rm -rf build
