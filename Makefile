# The commands a developer runs. Everything is built under build/ (one tree per architecture).
BUILD ?= build
JOBS ?= $(shell nproc)
WINE := /usr/lib/wine/wine64

# The 32-bit suites run through an emulator: the expensive ones run smaller there (percent of
# their full size: the hostile-input texts, the random sessions' steps).
X86_SUITE_SIZES ?= Hostile=10;Session=50

.PHONY: all setup build build-x86 build-x64 build-x86-tests setup-x86 test test-x86 dist package demo bench soak fuzz clean

all: build

setup:
	@bash scripts/setup

setup-x86:
	@bash scripts/setup --x86

build: build-x86 build-x64

# The shipped 32-bit DLL; its tree also holds the 32-bit tests, built by build-x86-tests.
build-x86:
	@cmake -S . -B $(BUILD)/x86 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake \
	  -DCMAKE_INSTALL_PREFIX=$(CURDIR)/dist/x86 -DZN_BUILD_TESTS=ON -DZN_NATIVE_CHECKS=OFF \
	  -DZN_SUITE_SIZES="$(X86_SUITE_SIZES)" \
	  -DCMAKE_CROSSCOMPILING_EMULATOR="$(CURDIR)/scripts/run-test;$(CURDIR)/scripts/wine32" >/dev/null
	@cmake --build $(BUILD)/x86 --target ZnTreeCt -j $(JOBS)

build-x86-tests: build-x86
	@cmake --build $(BUILD)/x86 -j $(JOBS)

build-x64: build-x86
	@cmake -S . -B $(BUILD)/x64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake \
	  -DCMAKE_INSTALL_PREFIX=$(CURDIR)/dist/x64 -DZN_BUILD_TESTS=ON \
	  -DZN_X86_DLL=$(CURDIR)/$(BUILD)/x86/bin/ZnTreeCt.dll \
	  -DCMAKE_CROSSCOMPILING_EMULATOR="$(CURDIR)/scripts/run-test;$(WINE)" >/dev/null
	@cmake --build $(BUILD)/x64 -j $(JOBS)

# The x64 suite, then the same unit and host suites against the 32-bit DLL under 32-bit Wine
# (scripts/setup --x86 prepares it where the machine allows; otherwise the run says it skipped).
test: setup-x86 build
	@bash scripts/wine-env $(BUILD)/x64 ctest --test-dir $(BUILD)/x64 --output-on-failure
	@$(MAKE) --no-print-directory test-x86

test-x86: build-x86-tests
	@bash scripts/test-x86 $(BUILD)

dist: setup build
	@cmake --install $(BUILD)/x86 >/dev/null
	@cmake --install $(BUILD)/x64 >/dev/null
	@echo "dist/x86 and dist/x64 hold the DLL and its debug information, both import libraries, the header and CMake package"

# The release archives, one zip per architecture, and their checksums, in dist/.
package: setup build
	@bash scripts/package $(BUILD) dist

# The benchmark runs the workloads through ZnTreeCt and the common controls and writes
# bench/results.md. BENCH_ARGS narrows it, e.g. BENCH_ARGS="--sizes 1000,10000".
bench: setup build
	@cmake -S . -B $(BUILD)/x64 -DZN_BUILD_BENCH=ON >/dev/null
	@cmake --build $(BUILD)/x64 --target zn_bench -j $(JOBS)
	@bash scripts/run-bench $(BUILD) $(BENCH_ARGS)

# The demo builds against the installed package, as a host project would.
demo: dist
	@cmake -S demo -B $(BUILD)/demo-build -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-x86_64.cmake \
	  -DCMAKE_PREFIX_PATH=$(CURDIR)/dist/x64 >/dev/null
	@cmake --build $(BUILD)/demo-build -j $(JOBS)
	@bash scripts/run-demo $(BUILD)

# Long runs: random sessions for SOAK_SECONDS (default ten minutes, new seeds until then) and
# 1,000 create-to-destroy cycles under resource accounting.
SOAK_SECONDS ?= 600
soak: setup build
	@bash scripts/wine-env $(BUILD)/x64 bash -c 'cd $(BUILD)/x64/bin && ZN_SECONDS=$(SOAK_SECONDS) ZN_STEPS=3000 \
	  $(WINE) zn_host.exe --gtest_filter=Session.* && ZN_CYCLES=1000 $(WINE) zn_host.exe --gtest_filter=Resources.Cycles*'

# Long fuzzing runs of the window-free parsers (FUZZ_SECONDS each, default ten minutes).
FUZZ_SECONDS ?= 600
fuzz: setup
	@for target in choices paths; do bash tests/fuzz/run-fuzzer $$target $(FUZZ_SECONDS) $(BUILD); done

clean:
	rm -rf $(BUILD) dist
