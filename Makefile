# Vandor! Message Reader: build, test and demo.
#
#   make test   installs what is missing (apt), builds the native and the
#               Windows trees and runs every test
#   make demo   installs what is missing, builds and runs the demo
#
# Build trees: build/native (host compiler, sanitizers) and build/win32
# (i686 mingw-w64; programs run under Wine in build/win32/wineprefix).

BUILD_DIR ?= build
NATIVE_DIR := $(BUILD_DIR)/native
WIN32_DIR := $(BUILD_DIR)/win32
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps native win32 test test-native test-win32 demo sim clean

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

test: test-native test-win32

test-native: native
	ctest --test-dir $(NATIVE_DIR) --output-on-failure -j $(JOBS)

# The Wine prefix is prepared once before the tests start in parallel.
test-win32: win32
	$(WIN32_DIR)/wine-run --init
	xvfb-run -a ctest --test-dir $(WIN32_DIR) --output-on-failure -j $(JOBS)

demo: win32
	@if [ -f $(WIN32_DIR)/win32/vandormsg.exe ]; then \
	    $(WIN32_DIR)/wine-run $(WIN32_DIR)/win32/vandormsg.exe; \
	else \
	    echo "The message reader application is not part of this version yet:"; \
	    echo "only its table library is built (see README.md)."; \
	    exit 1; \
	fi

# The simulated game on its own: make sim [SCENARIO=sim/scenarios/german.scenario]
SCENARIO ?= sim/scenarios/english.scenario
sim: win32
	$(WIN32_DIR)/wine-run $(WIN32_DIR)/win32/vandor-sim.exe $(SCENARIO)

clean:
	rm -rf $(BUILD_DIR)
