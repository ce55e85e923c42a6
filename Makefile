# The two commands of the README:
#   make run   builds the program and runs its main job on a demonstration
#              Wine machine with a practice on C:
#   make test  builds everything and runs every test
# The other targets are their steps.
SHELL := /bin/bash
NATIVE := build/native
WINDOWS := build/windows
WINDOWS64 := build/windows64
FEE_TABLES := $(NATIVE)/fee_tables
# deps installs ninja; name the generator only for a new build folder, so a
# folder configured before keeps the generator it was made with.
generator = $(if $(wildcard $(1)/CMakeCache.txt),,-G Ninja)

# The Windows builds the Wine tests need: the product's own, and the 64-bit
# one too where 32-bit programs cannot run (the choice of tests/wine/lib.sh).
WINE_ARCH = $(shell bash -c 'source tests/wine/lib.sh && echo $$VRL_WINE_ARCH')
WINE_BUILDS = windows $(if $(filter win64,$(WINE_ARCH)),windows64)

.PHONY: run test deps native fee-tables windows windows64 unit contract e2e fuzz sanitize bench

run: $(WINE_BUILDS)
	scripts/demo.sh

test: $(WINE_BUILDS)
	scripts/test-all.sh

deps:
	@scripts/install-deps.sh

native: deps
	cmake -S . -B $(NATIVE) $(call generator,$(NATIVE)) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(NATIVE)

fee-tables: native
	$(NATIVE)/make_fee_tables resources/fees $(FEE_TABLES)

windows: fee-tables
	cmake -S . -B $(WINDOWS) $(call generator,$(WINDOWS)) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	  -DCMAKE_BUILD_TYPE=MinSizeRel -DVRL_FEE_TABLE_DIR=$(abspath $(FEE_TABLES)) >/dev/null
	cmake --build $(WINDOWS)

# The same sources as 64-bit Windows programs: the Wine tests run these on a
# machine that cannot run 32-bit programs (tests/wine/lib.sh decides).
windows64: fee-tables
	cmake -S . -B $(WINDOWS64) $(call generator,$(WINDOWS64)) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=MinSizeRel -DVRL_FEE_TABLE_DIR=$(abspath $(FEE_TABLES)) >/dev/null
	cmake --build $(WINDOWS64)

# Single test stages on the existing builds (make test runs them all).
unit: native
	scripts/test-all.sh native

contract: $(WINE_BUILDS)
	scripts/test-all.sh wine-contract

e2e: $(WINE_BUILDS)
	scripts/test-all.sh e2e

fuzz: native
	scripts/test-all.sh fuzz

# The unit tests in a build of their own with AddressSanitizer and
# UndefinedBehaviorSanitizer (build/sanitize).
sanitize: deps
	scripts/test-all.sh sanitize

# Benchmarks: whole runs under Wine, the table engine beside pxlib, and the
# README's screenshots (scripts/bench.sh; figures in build/artifacts/bench/).
bench: $(WINE_BUILDS)
	cmake --build $(NATIVE) --target engine_bench
	scripts/bench.sh
