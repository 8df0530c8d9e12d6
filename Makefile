# Do-Z: every target sets up what it needs on a fresh Debian 12 machine.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 60
CTEST_FLAGS ?= --output-on-failure -j $(JOBS)

.PHONY: all deps configure build test test-ui test-asan demo bench fuzz screenshot install package clean

all: build

deps:
	@scripts/setup-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# All tests: the whole project, then the UI-free code again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
test: test-ui test-asan

test-ui: build
	ctest --test-dir $(BUILD) $(CTEST_FLAGS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DDOZ_WITH_UI=OFF -DDOZ_SANITIZE=ON -DDOZ_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) $(CTEST_FLAGS)

demo: build
	@scripts/demo $(BUILD)

bench: build
	@scripts/bench $(BUILD)

# The window's pictures for the README, drawn offscreen from loudspeaker-like
# sample files: docs/screenshot-linear.png and docs/screenshot-log.png; and
# docs/screenshot-analysis.png, the analysis window beside a measured woofer;
# docs/screenshot-ls.png, the analysis window's Ls graph of a measured coil;
# docs/screenshot-station.png, the station after a batch of coils;
# docs/screenshot-linear@2x.png, the first at a pixel ratio of 2.
screenshot: configure
	cmake --build $(BUILD) -j $(JOBS) --target doz-screenshot
	$(BUILD)/tests/app/doz-screenshot docs
	QT_SCALE_FACTOR=2 $(BUILD)/tests/app/doz-screenshot docs

fuzz: deps
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDOZ_WITH_UI=OFF -DDOZ_FUZZ=ON -DDOZ_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@scripts/fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS)

install: build
	cmake --install $(BUILD)

# The Debian package $(BUILD)/doz_<version>_<arch>.deb; install it with
# sudo apt install ./$(BUILD)/doz_*.deb
package: build
	cmake --build $(BUILD) --target package

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
