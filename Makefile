# Vandor! Message Reader: build, test and demo.
#
#   make test     installs what is missing (apt), builds the native and the
#                 Windows trees and runs every test, then the quick mutations
#   make demo     installs what is missing, builds and runs the reader beside
#                 the simulated game (by itself under Xvfb without a display)
#   make fuzz     runs each fuzz target for FUZZ_TIME seconds (default 600)
#   make mutate   plants each fault of tools/mutations.txt in a copy of the
#                 tree (build/mutate) and checks that the tests catch it;
#                 `make test` runs the few tagged quick
#   make package  builds the zips for Windows players (-win32, the release,
#                 and -win64) in build/win32/package/ and build/win64/package/
#   make install  puts the programs and scenarios into PREFIX (default
#                 ~/vandor-message-reader), to run them under Wine, and
#                 vandormsg-archive for Linux beside them
#
# Build trees: build/native (host compiler, sanitizers), build/win32 (i686
# mingw-w64, the release; its programs run under 32-bit Wine), build/win64
# (x86_64 mingw-w64; 64-bit Wine), build/fuzz (clang, libFuzzer) and
# build/linux (host compiler, Release: vandormsg-archive for make install).
# Each Windows tree has its own Wine prefix, build/win*/wineprefix.
#
# The Windows programs run where this machine can run them: in the i686
# tree where it runs 32-bit programs, else in the x86_64 tree
# (tools/windows-arch.sh tries). WINDOWS_ARCH=i686 or WINDOWS_ARCH=x86_64
# forces the choice, for test, demo, sim, bench and install.

BUILD_DIR ?= build
NATIVE_DIR := $(BUILD_DIR)/native
WIN32_DIR := $(BUILD_DIR)/win32
WIN64_DIR := $(BUILD_DIR)/win64
LINUX_DIR := $(BUILD_DIR)/linux
WINDOWS_BUILD_TYPE ?= Release
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
SCENARIO ?= sim/scenarios/english.scenario
TURN ?= 2401
PREFIX ?= $(HOME)/vandor-message-reader

FUZZ_DIR := $(BUILD_DIR)/fuzz
FUZZ_TIME ?= 600
FUZZ_TEST_TIME ?= 30

# The tree whose programs run here, once WINDOWS_ARCH is known: the targets
# that run Windows programs call `make` again through $(with-arch).
ifeq ($(WINDOWS_ARCH),x86_64)
RUN_TREE := win64
RUN_DIR := $(WIN64_DIR)
RUN_WINE := 64-bit Wine
else
RUN_TREE := win32
RUN_DIR := $(WIN32_DIR)
RUN_WINE := 32-bit Wine
endif
with-arch = arch=$$(./tools/windows-arch.sh) && $(MAKE) --no-print-directory WINDOWS_ARCH=$$arch

.PHONY: all deps native win32 win64 linux configure-win32 configure-win64 fuzz-build \
	test test-native test-windows test-windows-chosen test-win32 test-win64 test-fuzz \
	mutate test-mutate \
	demo demo-chosen sim sim-chosen bench bench-chosen bench-table fuzz fuzz-seeds package \
	install install-chosen wine-check clean

all: native win32

deps:
	@./tools/install-deps.sh

native: deps
	cmake -S . -B $(NATIVE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANDOR_SANITIZE=ON
	cmake --build $(NATIVE_DIR) -j $(JOBS)

configure-win32: deps
	cmake -S . -B $(WIN32_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(WINDOWS_BUILD_TYPE) \
	    -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw32-toolchain.cmake

configure-win64: deps
	cmake -S . -B $(WIN64_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(WINDOWS_BUILD_TYPE) \
	    -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw64-toolchain.cmake

win32: configure-win32
	cmake --build $(WIN32_DIR) -j $(JOBS)

win64: configure-win64
	cmake --build $(WIN64_DIR) -j $(JOBS)

# vandormsg-archive for players on Linux: an optimised native tree without
# the sanitizers of the test tree, of which only that program is built.
linux: deps
	cmake -S . -B $(LINUX_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build $(LINUX_DIR) -j $(JOBS) --target vandormsg-archive

fuzz-build: deps
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	    -DVANDOR_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS)

# Every stage runs, whatever an earlier one did; each is reported at the end.
TEST_STAGES := test-native test-windows test-fuzz test-mutate
test: deps
	@failed=""; summary=""; \
	for stage in $(TEST_STAGES); do \
	    if $(MAKE) --no-print-directory $$stage; then result=passed; \
	    else result=FAILED; failed="$$failed $$stage"; fi; \
	    summary="$$summary\n  $$stage: $$result"; \
	done; \
	printf "\n== make test:$$summary\n"; \
	cat $(BUILD_DIR)/browser-tested.txt $(BUILD_DIR)/windows-tested.txt 2>/dev/null || true; \
	if [ -n "$$failed" ]; then echo "== FAILED:$$failed"; exit 1; fi; \
	echo "== every stage passed"

# The browser test of the report is skipped, with its reason, where
# Chromium is missing: the summary says whether it ran.
test-native: native
	@rm -f $(BUILD_DIR)/browser-tested.txt
	@{ ctest --test-dir $(NATIVE_DIR) --output-on-failure -j $(JOBS); echo $$? > $(BUILD_DIR)/native-status; } \
	    2>&1 | tee $(BUILD_DIR)/native-tests.log
	@reason=$$(grep -h "^SKIPPED:" $(NATIVE_DIR)/Testing/Temporary/LastTest.log 2>/dev/null | head -n 1); \
	if grep -q "report_in_browser (Skipped)" $(BUILD_DIR)/native-tests.log; then \
	    echo "  Browser test: skipped, $$reason"; \
	else echo "  Browser test: the report in headless Chromium"; fi | tee $(BUILD_DIR)/browser-tested.txt
	@exit $$(cat $(BUILD_DIR)/native-status)

# The i686 tree is always built, so that the release compiles everywhere;
# its tests run where 32-bit programs run, else those of the x86_64 tree.
test-windows: win32
	@rm -f $(BUILD_DIR)/windows-tested.txt
	@+$(with-arch) test-windows-chosen

test-windows-chosen: test-$(RUN_TREE)
ifeq ($(RUN_TREE),win64)
	@echo "== The release zip of the i686 tree, checked without running its programs:"
	VANDOR_RUN_PACKED=no ctest --test-dir $(WIN32_DIR) -L package --output-on-failure
endif
	@echo "  Windows tests: $(WINDOWS_ARCH) programs under $(RUN_WINE)" \
	    "(unit, end-to-end and package tests of $(RUN_DIR))" | tee $(BUILD_DIR)/windows-tested.txt

# The tests of one Windows tree, under Xvfb, with one wineserver for the run.
test-win32: win32
	@echo "== Windows tests: i686 programs under 32-bit Wine ($(WIN32_DIR))"
	xvfb-run -a $(WIN32_DIR)/wine-run --session \
	    ctest --test-dir $(WIN32_DIR) --output-on-failure -j $(JOBS)

test-win64: win64
	@echo "== Windows tests: x86_64 programs under 64-bit Wine ($(WIN64_DIR))"
	xvfb-run -a $(WIN64_DIR)/wine-run --session \
	    ctest --test-dir $(WIN64_DIR) --output-on-failure -j $(JOBS)

# The committed fuzz inputs replayed, then each target fuzzed briefly.
test-fuzz: fuzz-build
	./tools/fuzz.sh $(FUZZ_DIR) $(FUZZ_TEST_TIME)

# The quick mutations: the tests must catch each (tools/mutate.sh).
test-mutate: deps
	JOBS=$(JOBS) ./tools/mutate.sh --quick

# Every mutation of tools/mutations.txt, one at a time, in build/mutate.
mutate: deps
	JOBS=$(JOBS) ./tools/mutate.sh

# Each target fuzzed for FUZZ_TIME seconds; executions per target land in
# build/fuzz/executions.txt.
fuzz: fuzz-build
	./tools/fuzz.sh $(FUZZ_DIR) $(FUZZ_TIME)

# Writes the seed corpora again (after a change of a file format).
fuzz-seeds: fuzz-build
	$(FUZZ_DIR)/fuzz/fuzz_seeds fuzz/corpus

# Both zips; players are pointed to the -win32 one.
package: win32 win64
	cd $(WIN32_DIR) && cpack -G ZIP
	cd $(WIN64_DIR) && cpack -G ZIP
	@ls -l $(WIN32_DIR)/package/*.zip $(WIN64_DIR)/package/*.zip

# Configures the tree of the chosen architecture and makes sure Wine starts
# its programs, before anything long is built.
wine-check: configure-$(RUN_TREE)
	@echo "== Windows programs: $(WINDOWS_ARCH), under $(RUN_WINE) ($(RUN_DIR))"
	@$(RUN_DIR)/wine-run --init || { \
	    echo "Wine cannot run $(WINDOWS_ARCH) programs on this machine (see above)." >&2; \
	    echo "Install Wine with tools/install-deps.sh (as root), or choose the other" >&2; \
	    echo "architecture: WINDOWS_ARCH=x86_64 or WINDOWS_ARCH=i686." >&2; \
	    exit 1; }

# The reader beside the simulated game (see tools/demo.sh).
demo: deps
	@+$(with-arch) demo-chosen

demo-chosen: wine-check
	cmake --build $(RUN_DIR) -j $(JOBS)
	./tools/demo.sh $(RUN_DIR) $(SCENARIO) $(TURN)

# The simulated game on its own: make sim [SCENARIO=sim/scenarios/german.scenario]
sim: deps
	@+$(with-arch) sim-chosen

sim-chosen: wine-check
	cmake --build $(RUN_DIR) -j $(JOBS) --target vandor-sim
	$(RUN_DIR)/wine-run $(RUN_DIR)/win32/vandor-sim.exe $(SCENARIO)

# Benchmarks in an optimised tree of their own. vandor_goals prints one
# line per performance goal, measured against its baseline in the same run
# and ending in holds or misses, into build/bench/goals.txt (its progress
# goes to the terminal meanwhile); `make bench-table` turns that file into
# the table of README.md. The other figures (Google Benchmark, then the
# windows under Wine) land in build/bench/results.txt and results.json.
BENCH_DIR := $(BUILD_DIR)/bench
bench: deps
	@+$(with-arch) bench-chosen

bench-chosen: wine-check
	cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BENCH_DIR) -j $(JOBS) --target vandor_goals vandor_bench
	cmake --build $(RUN_DIR) -j $(JOBS)
	@status=0; $(BENCH_DIR)/bench/vandor_goals > $(BENCH_DIR)/goals.txt || status=$$?; \
	    echo; cat $(BENCH_DIR)/goals.txt; exit $$status
	$(BENCH_DIR)/bench/vandor_bench --benchmark_out=$(BENCH_DIR)/results.json \
	    --benchmark_out_format=json | tee $(BENCH_DIR)/results.txt
	rm -rf $(BENCH_DIR)/wine && mkdir -p $(BENCH_DIR)/wine
	cp $(RUN_DIR)/win32/vandormsg.exe $(RUN_DIR)/win32/vandor-sim.exe $(BENCH_DIR)/wine/
	echo "Under $(RUN_WINE) ($(WINDOWS_ARCH) programs):" >> $(BENCH_DIR)/results.txt
	xvfb-run -a -s "-screen 0 1024x768x24" $(RUN_DIR)/wine-run --session \
	    $(RUN_DIR)/wine-run $(RUN_DIR)/win32/wine-bench.exe $(BENCH_DIR)/results.txt $(BENCH_DIR)/wine

# The table of README.md's Performance section, from the last make bench.
bench-table:
	@./tools/goals-table.sh $(BENCH_DIR)/goals.txt

# The programs and the scenarios in PREFIX, to run under Wine beside the
# game, and the command-line reader for Linux beside them; an archive
# (DATA) already there is left as it is.
install: deps
	@+$(with-arch) install-chosen

install-chosen: wine-check linux
	cmake --build $(RUN_DIR) -j $(JOBS)
	cmake --install $(RUN_DIR) --prefix "$(PREFIX)"
	install -m 755 $(LINUX_DIR)/cli/vandormsg-archive "$(PREFIX)/vandormsg-archive"
	@echo "Installed the $(WINDOWS_ARCH) programs and vandormsg-archive for Linux in $(PREFIX);" \
	    "the archive goes to $(PREFIX)/DATA."

clean:
	rm -rf $(BUILD_DIR)
