# One entry point for a fresh Debian 12 machine: `make test` and `make run`
# install what they need, configure, build, and test or start the utility.

SHELL := /bin/bash
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# Debian packages the build, the tests and the screenshots need.
PACKAGES := cmake ninja-build g++ pkg-config \
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev \
  libgtest-dev libgmock-dev libbenchmark-dev \
  xvfb xauth xdotool x11-utils imagemagick locales fonts-dejavu-core fonts-liberation dpkg-dev file

# Only `make fuzz` needs clang and its libFuzzer runtime.
FUZZ_PACKAGES := clang libclang-rt-14-dev
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
BENCH_REPETITIONS ?= 5

.PHONY: all deps configure build test run clean package fuzz bench screenshots bench-startup
all: build

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing:" $$missing; \
	    $(SUDO) apt-get update && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi
	@# The number rules are tested under a locale whose decimal point is ",".
	@locale -a 2>/dev/null | grep -qix 'de_DE.utf8' || { \
	    $(SUDO) sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen && $(SUDO) locale-gen; }

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	cmake --build $(BUILD) --parallel

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	    echo "No display: starting under xvfb-run"; xvfb-run -a $(BUILD)/src/app/ombrel-config; \
	else $(BUILD)/src/app/ombrel-config; fi

# Fuzzes the profile store and the number rules for FUZZ_SECONDS in all, then
# the editor's open path (open, save, only handled entries change) as long again.
fuzz:
	@$(MAKE) --no-print-directory deps PACKAGES="$(PACKAGES) $(FUZZ_PACKAGES)"
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined,fuzzer-no-link -fno-omit-frame-pointer" \
	    -DOMBREL_BUILD_FUZZ=ON -DOMBREL_BUILD_TESTS=OFF -DOMBREL_BUILD_BENCH=OFF
	cmake --build $(FUZZ_BUILD) --target fuzz_text_store fuzz_number_rules fuzz_open_path --parallel 2
	fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)
	fuzz/open_path_run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Times a whole open and save of a profile against a plain read and write.
bench: configure
	cmake --build $(BUILD) --target profile_bench --parallel
	$(BUILD)/bench/profile_bench --benchmark_repetitions=$(BENCH_REPETITIONS)

# Start-up time and peak memory of the utility against a bare Qt window, each
# process started afresh, in turn, on a virtual X display (Qt's xcb platform).
STARTUP_RUNS ?= 21
bench-startup: configure
	cmake --build $(BUILD) --target startup_bench --parallel
	xvfb-run -a -s "-screen 0 1024x768x24" $(BUILD)/bench/startup/startup_bench $(STARTUP_RUNS)

# Pictures of the windows as real windows on a virtual X display (Qt's xcb
# platform), into docs/screenshots/.
screenshots: configure
	cmake --build $(BUILD) --target ombrel-screenshots --parallel
	xvfb-run -a -s "-screen 0 1280x1024x24" $(BUILD)/tools/screenshots/ombrel-screenshots docs/screenshots

# A Debian package of the utility (CPack's DEB generator), written to $(BUILD)/.
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD)
