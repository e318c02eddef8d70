# The two front doors:  make run   (build and start the builder)
#                       make test  (build everything, run every test)
# and the release:      make dist  (installer, zip and checksums in build/dist)
SHELL := /bin/bash
# Also quiets the make that cmake --build runs ("Entering directory ...").
MAKEFLAGS += --no-print-directory
JOBS ?= 2
SECONDS ?= 60
BUILD := build
# Every path below is quoted where a shell sees it, so a clone in a folder
# whose name holds spaces builds and tests like any other.

NATIVE := $(BUILD)/native
WIN    := $(BUILD)/win
FUZZ   := $(BUILD)/fuzz
BENCH  := $(BUILD)/bench
DIST   := $(BUILD)/dist

# make dist SIGN_CERT=cert.pem SIGN_KEY=key.pem [SIGN_PASS=...] [SIGN_TIMESTAMP_URL=...]
SIGN_CERT ?=
SIGN_KEY ?=
SIGN_PASS ?=
SIGN_TIMESTAMP_URL ?=

CONFIGURE_WIN    = cmake -S . -B "$(WIN)" -DCMAKE_TOOLCHAIN_FILE="$(CURDIR)/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
CONFIGURE_NATIVE = cmake -S . -B "$(NATIVE)" -DVORNIX_SANITIZE=ON >/dev/null

.PHONY: all deps native win fuzz-build test test-native test-win test-fuzz test-web fuzz bench run dist clean

all: native win

deps:
	@bash scripts/install-deps

native: deps
	@$(CONFIGURE_NATIVE)
	@cmake --build "$(NATIVE)" -j$(JOBS)

win: deps
	@$(CONFIGURE_WIN)
	@cmake --build "$(WIN)" -j$(JOBS)

fuzz-build: deps
	@cmake -S . -B "$(FUZZ)" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVORNIX_FUZZ=ON -DVORNIX_FUZZ_SECONDS=$(SECONDS) >/dev/null
	@cmake --build "$(FUZZ)" -j$(JOBS)

# -k: every suite runs even when an earlier one fails; make still fails then.
# The four suites run side by side (the Windows tests mostly wait on Wine,
# and the web page's browser tests, about two minutes, end well within the
# five of the Windows suite), each one's output shown whole when it ends.
# The web suite makes its pages with both trees' programs.
test: native win fuzz-build
	@$(MAKE) --no-print-directory -k -j4 --output-sync=target test-native test-win test-fuzz test-web

test-native:
	ctest --test-dir "$(NATIVE)" --output-on-failure -j$(JOBS)

test-win:
	@bash scripts/test-windows "$(WIN)"

test-fuzz:
	ctest --test-dir "$(FUZZ)" --output-on-failure

test-web:
	@bash scripts/test-web "$(NATIVE)" "$(WIN)" "$(BUILD)/web"

fuzz: fuzz-build
	ctest --test-dir "$(FUZZ)" --output-on-failure

bench: deps
	@$(CONFIGURE_WIN)
	@cmake --build "$(WIN)" -j$(JOBS) --target winbench vornix vornix_distrib vornixpack
	@cmake -S . -B "$(BENCH)" -DVORNIX_BENCH=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build "$(BENCH)" -j$(JOBS)
	@bash scripts/run-benchmarks "$(BENCH)" "$(WIN)"

# Builds only what it starts: the builder and the player stub it copies. With
# no display it makes a sample puzzle with the native vornixpack instead.
run: deps
	@$(CONFIGURE_WIN)
	@cmake --build "$(WIN)" -j$(JOBS) --target vornix vornix_distrib
	@if [ -z "$${DISPLAY:-}" ]; then $(CONFIGURE_NATIVE) && \
	  cmake --build "$(NATIVE)" -j$(JOBS) --target vornixpack make_sample_picture; fi
	@bash scripts/run-builder "$(WIN)" "$(NATIVE)"

# The three programs, then the MSI, the zip and SHA256SUMS in build/dist.
dist: deps
	@$(CONFIGURE_WIN)
	@cmake --build "$(WIN)" -j$(JOBS) --target vornix vornix_distrib vornixpack
	@SIGN_CERT="$(SIGN_CERT)" SIGN_KEY="$(SIGN_KEY)" SIGN_PASS="$(SIGN_PASS)" \
	  SIGN_TIMESTAMP_URL="$(SIGN_TIMESTAMP_URL)" bash dist/make-dist "$(WIN)" "$(DIST)"

clean:
	rm -rf "$(BUILD)"
