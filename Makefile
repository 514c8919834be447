# One entry point for a fresh Debian 12 machine: `make test`, `make run` and
# `make windows` install what they need, configure, build, and test, start or
# package the utility.

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

# The Windows program: cross-compiled with Debian's mingw-w64 (POSIX thread
# model), GoogleTest built from Debian's sources, and the tests run under Wine.
# wine32 exists for the i386 architecture only, which is enabled for it: the
# 32-bit exe, the one users get, is the one tested.
WINDOWS_PACKAGES := cmake ninja-build g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix \
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 googletest zip
WINE_PACKAGES := wine wine32 wine64 libwine libwine:i386 xvfb xauth xdotool
WIN_BUILD ?= build-windows
WIN_BUILD_TYPE ?= MinSizeRel
WIN32_BUILD := $(WIN_BUILD)/i686
WIN64_BUILD := $(WIN_BUILD)/x86_64
WIN32_EXE := $(WIN32_BUILD)/src/win32/ombrel-config.exe
WIN64_EXE := $(WIN64_BUILD)/src/win32/ombrel-config-x64.exe
VERSION := $(shell awk '/^project/ { for (i = 1; i < NF; i++) if ($$i == "VERSION") print $$(i + 1) }' CMakeLists.txt | cut -d. -f1,2)
WINDOWS_ZIP := $(WIN_BUILD)/ombrel-config-$(VERSION)-windows.zip

.PHONY: all deps configure build test linux-test run clean package fuzz bench screenshots bench-startup \
  windows windows-deps windows-test-deps windows-build windows-test bench-windows-startup
all: build

# Installs the Debian packages named in PACKAGES that are missing, and only those.
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

# The Linux suite, once more as a whole under a German locale (decimal point
# ","), then the Windows builds and their tests under Wine.
test: linux-test windows-test

linux-test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 --parallel 2
	cd $(BUILD) && LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8 QT_QPA_PLATFORM=offscreen \
	    ctest --output-on-failure --timeout 600 --parallel 2

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	    echo "No display: starting under xvfb-run"; xvfb-run -a $(BUILD)/src/qt/ombrel-config; \
	else $(BUILD)/src/qt/ombrel-config; fi

# --- Windows -------------------------------------------------------------------

windows-deps:
	@$(MAKE) --no-print-directory deps PACKAGES="$(WINDOWS_PACKAGES)"

# Wine's 32-bit half needs the i386 architecture, enabled once.
windows-test-deps: windows-deps
	@if ! dpkg --print-foreign-architectures | grep -qx i386; then \
	    echo "Enabling the i386 architecture for wine32"; \
	    $(SUDO) dpkg --add-architecture i386 && $(SUDO) apt-get update; \
	fi
	@$(MAKE) --no-print-directory deps PACKAGES="$(WINE_PACKAGES)"

# Both exes; the 32-bit build also holds the tests, which WIN32_TARGETS (all by
# default) may leave unbuilt.
WIN32_TARGETS ?= all
windows-build: windows-deps
	cmake -S . -B $(WIN64_BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake \
	    -DCMAKE_BUILD_TYPE=$(WIN_BUILD_TYPE) -DOMBREL_BUILD_BENCH=OFF -DOMBREL_BUILD_TESTS=OFF
	cmake --build $(WIN64_BUILD) --target ombrel-config --parallel 2
	cmake -S . -B $(WIN32_BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake \
	    -DCMAKE_BUILD_TYPE=$(WIN_BUILD_TYPE) -DOMBREL_BUILD_BENCH=OFF \
	    -DOMBREL_OTHER_WINDOWS_EXES=$(CURDIR)/$(WIN64_EXE)
	cmake --build $(WIN32_BUILD) --target $(WIN32_TARGETS) --parallel 2

# The Windows tests under Wine: one fresh prefix, one wineserver and one X display
# (Xvfb on :61-:69) for the run (the fixture ombrel_wine); the GUI and end-to-end
# tests bring displays of their own.
windows-test: windows-test-deps windows-build
	cd $(WIN32_BUILD) && ctest --output-on-failure --timeout 600 --parallel 2

# The zip users download: the two exes and a short README.txt with Windows line ends.
windows:
	@$(MAKE) --no-print-directory windows-build WIN32_TARGETS=ombrel-config
	rm -rf $(WIN_BUILD)/zip && mkdir -p $(WIN_BUILD)/zip
	cp $(WIN32_EXE) $(WIN64_EXE) $(WIN_BUILD)/zip/
	sed 's/\r*$$/\r/' packaging/windows/README.txt > $(WIN_BUILD)/zip/README.txt
	rm -f $(WINDOWS_ZIP)
	cd $(WIN_BUILD)/zip && zip -X -9 ../$(notdir $(WINDOWS_ZIP)) ombrel-config.exe ombrel-config-x64.exe README.txt
	@ls -l $(WINDOWS_ZIP) $(WIN32_EXE) $(WIN64_EXE)

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
# The Windows program's windows likewise under Wine, as docs/screenshots/windows-*.png.
screenshots: configure windows-test-deps
	cmake --build $(BUILD) --target ombrel-screenshots --parallel
	xvfb-run -a -s "-screen 0 1280x1024x24" $(BUILD)/tools/screenshots/ombrel-screenshots docs/screenshots
	@$(MAKE) --no-print-directory windows-build WIN32_TARGETS=ombrel-config
	tools/win32-screenshots.sh $(WIN32_EXE) docs/screenshots

# Start-up of the 32-bit exe under Wine against a bare Win32 window built the
# same way, alternating runs in one warm Wine prefix.
bench-windows-startup: windows-test-deps
	@$(MAKE) --no-print-directory windows-build WIN32_TARGETS="ombrel-config bare_window"
	cmake --build $(WIN32_BUILD) --target bench-windows-startup

# A Debian package of the utility (CPack's DEB generator), written to $(BUILD)/.
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(WIN_BUILD)
