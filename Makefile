# The two commands of the README: `make run` and `make test`.
MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc)
BUILD := build/release
TEST_BUILD := build/test

.PHONY: deps build run demo test bench clean

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

bench: build
	@$(BUILD)/bench/norvane_micro_bench

clean:
	rm -rf build
