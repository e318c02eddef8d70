# The two front doors:  make run   (build and start the builder)
#                       make test  (build everything, run every test)
SHELL := /bin/bash
JOBS ?= 2
SECONDS ?= 60
BUILD := build

NATIVE := $(BUILD)/native
WIN    := $(BUILD)/win
FUZZ   := $(BUILD)/fuzz
BENCH  := $(BUILD)/bench

.PHONY: all deps native win fuzz-build test test-native test-win test-fuzz fuzz bench run clean

all: native win

deps:
	@bash scripts/install-deps

native: deps
	@cmake -S . -B $(NATIVE) -DVORNIX_SANITIZE=ON >/dev/null
	@cmake --build $(NATIVE) -j$(JOBS)

win: deps
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WIN) -j$(JOBS)

fuzz-build: deps
	@cmake -S . -B $(FUZZ) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVORNIX_FUZZ=ON -DVORNIX_FUZZ_SECONDS=$(SECONDS) >/dev/null
	@cmake --build $(FUZZ) -j$(JOBS)

# -k: every suite runs even when an earlier one fails; make still fails then.
test: native win fuzz-build
	@$(MAKE) --no-print-directory -k test-native test-win test-fuzz

test-native:
	ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS)

test-win:
	@bash scripts/test-windows $(WIN)

test-fuzz:
	ctest --test-dir $(FUZZ) --output-on-failure

fuzz: fuzz-build
	ctest --test-dir $(FUZZ) --output-on-failure

bench: deps win
	@cmake -S . -B $(BENCH) -DVORNIX_BENCH=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BENCH) -j$(JOBS)
	@bash scripts/run-benchmarks $(BENCH) $(WIN)

run: deps win native
	@bash scripts/run-builder $(WIN) $(NATIVE)

clean:
	rm -rf $(BUILD)
