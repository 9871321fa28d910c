# The two commands of the README: `make run` and `make test`.
MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc)
BUILD := build/release
TEST_BUILD := build/test
FUZZ_BUILD := build/fuzz
TSAN_BUILD := build/tsan
FUZZ_SECONDS ?= 600

.PHONY: deps build run demo test bench bench-compare bench-windows clean fuzz-build fuzz-short fuzz tsan-test

deps:
	@scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DNORVANE_TESTS=OFF >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# Starts the program in the samples folder.
run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: no display to open the windows on; run it in a desktop session, or under a virtual one with: xvfb-run make run"; \
	  exit 1; \
	fi
	@cd samples && ../$(BUILD)/ui/Norvane

# A search of the samples from the command line, shown as a listing.
demo: build
	@cd samples && ../$(BUILD)/cli/norvane-search --output=utf-8 "港町" *.txt; status=$$?; [ $$status -le 1 ]

test: deps
	@cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DNORVANE_SANITIZE=ON -DNORVANE_BENCH=OFF >/dev/null
	@cmake --build $(TEST_BUILD) -j $(JOBS)
	@cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) tsan-test
	@$(MAKE) fuzz-short

# The global search's two readers under ThreadSanitizer, in a build of their
# own; part of `make test`.
tsan-test: deps
	@cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNORVANE_TSAN=ON -DNORVANE_TESTS=OFF -DNORVANE_BENCH=OFF -DNORVANE_UI=OFF >/dev/null
	@cmake --build $(TSAN_BUILD) -j $(JOBS) --target norvane_tsan_tests
	@TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" $(TSAN_BUILD)/tests/tsan/norvane_tsan_tests --gtest_brief=1

# libFuzzer targets of the core (tests/fuzz), in a clang build of their own.
fuzz-build: deps
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 -DNORVANE_FUZZ=ON -DNORVANE_SANITIZE=ON -DNORVANE_TESTS=OFF -DNORVANE_BENCH=OFF -DNORVANE_UI=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target norvane_fuzzers

# A few seconds per target with a fixed seed; part of `make test`.
fuzz-short: fuzz-build
	@tests/fuzz/run.sh $(FUZZ_BUILD) short

# Every target at once for FUZZ_SECONDS of wall time (600 by default).
fuzz: fuzz-build
	@tests/fuzz/run.sh $(FUZZ_BUILD) long $(FUZZ_SECONDS)

bench: build
	@$(BUILD)/bench/norvane_micro_bench

# norvane-search beside grep and cat on a generated 1 GB corpus.
bench-compare: build
	@bench/compare.sh

# The windows beside norvane-search on listings of 1 and 3 million lines.
bench-windows: build
	@bench/windows.sh

clean:
	rm -rf build
