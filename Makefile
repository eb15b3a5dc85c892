# Vandor! Message Reader: build, test and demo.
#
#   make test   installs what is missing (apt), builds the native and the
#               Windows trees and runs every test
#   make demo   installs what is missing, builds and runs the reader beside
#               the simulated game (by itself under Xvfb without a display)
#   make fuzz   runs each fuzz target for FUZZ_TIME seconds (default 600)
#   make package  builds the release zip for Windows players
#               (build/win32/package/)
#
# Build trees: build/native (host compiler, sanitizers), build/win32
# (i686 mingw-w64; programs run under Wine in build/win32/wineprefix) and
# build/fuzz (clang, libFuzzer).

BUILD_DIR ?= build
NATIVE_DIR := $(BUILD_DIR)/native
WIN32_DIR := $(BUILD_DIR)/win32
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
SCENARIO ?= sim/scenarios/english.scenario

FUZZ_DIR := $(BUILD_DIR)/fuzz
FUZZ_TIME ?= 600
FUZZ_TEST_TIME ?= 30

.PHONY: all deps native win32 fuzz-build test test-native test-win32 test-fuzz demo sim bench \
	fuzz fuzz-seeds package clean

all: native win32

deps:
	@./tools/install-deps.sh

native: deps
	cmake -S . -B $(NATIVE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANDOR_SANITIZE=ON
	cmake --build $(NATIVE_DIR) -j $(JOBS)

win32: deps
	cmake -S . -B $(WIN32_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw32-toolchain.cmake
	cmake --build $(WIN32_DIR) -j $(JOBS)

fuzz-build: deps
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	    -DVANDOR_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS)

test: test-native test-win32 test-fuzz

test-native: native
	ctest --test-dir $(NATIVE_DIR) --output-on-failure -j $(JOBS)

# The Wine prefix is prepared once before the tests start in parallel.
test-win32: win32
	$(WIN32_DIR)/wine-run --init
	xvfb-run -a ctest --test-dir $(WIN32_DIR) --output-on-failure -j $(JOBS)

# The committed fuzz inputs replayed, then each target fuzzed briefly.
test-fuzz: fuzz-build
	./tools/fuzz.sh $(FUZZ_DIR) $(FUZZ_TEST_TIME)

# Each target fuzzed for FUZZ_TIME seconds; executions per target land in
# build/fuzz/executions.txt.
fuzz: fuzz-build
	./tools/fuzz.sh $(FUZZ_DIR) $(FUZZ_TIME)

# Writes the seed corpora again (after a change of a file format).
fuzz-seeds: fuzz-build
	$(FUZZ_DIR)/fuzz/fuzz_seeds fuzz/corpus

# The release zip for Windows players: build/win32/package/.
package: win32
	cd $(WIN32_DIR) && cpack -G ZIP

# The reader beside the simulated game (see tools/demo.sh).
demo: win32
	./tools/demo.sh $(WIN32_DIR) $(SCENARIO)

# Benchmarks in an optimised tree of their own; the results land in
# build/bench/results.txt and results.json.
BENCH_DIR := $(BUILD_DIR)/bench
bench: deps win32
	cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BENCH_DIR) -j $(JOBS) --target vandor_bench
	$(BENCH_DIR)/bench/vandor_bench --benchmark_out=$(BENCH_DIR)/results.json \
	    --benchmark_out_format=json | tee $(BENCH_DIR)/results.txt
	rm -rf $(BENCH_DIR)/wine && mkdir -p $(BENCH_DIR)/wine
	cp $(WIN32_DIR)/win32/vandormsg.exe $(WIN32_DIR)/win32/vandor-sim.exe $(BENCH_DIR)/wine/
	echo "Under Wine:" >> $(BENCH_DIR)/results.txt
	xvfb-run -a -s "-screen 0 1024x768x24" $(WIN32_DIR)/wine-run $(WIN32_DIR)/win32/wine-bench.exe \
	    $(BENCH_DIR)/results.txt $(BENCH_DIR)/wine
	$(WIN32_DIR)/wine-run --kill

# The simulated game on its own: make sim [SCENARIO=sim/scenarios/german.scenario]
sim: win32
	$(WIN32_DIR)/wine-run $(WIN32_DIR)/win32/vandor-sim.exe $(SCENARIO)

clean:
	rm -rf $(BUILD_DIR)
