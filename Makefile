# Two commands for a newcomer: `make run` and `make test`.
PRESET ?= release
BUILD_DIR := build/$(PRESET)
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run demo test test-windows windows-desktop package-windows bench sanitize fuzz screenshots package clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@scripts/run-program $(BUILD_DIR)

demo: build
	@scripts/demo $(BUILD_DIR)

test: build
	@ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# The Windows build (MinGW-w64 cross compiler) and its tests under Wine.
test-windows:
	@JOBS=$(JOBS) scripts/test-windows

# The desktop program for Windows with the Qt that scripts/build-qt-windows
# built once (build/windows-desktop/stage), and its zip.
windows-desktop:
	@JOBS=$(JOBS) scripts/windows-desktop build

package-windows:
	@JOBS=$(JOBS) scripts/windows-desktop package

bench: build
	@scripts/bench $(BUILD_DIR)

screenshots: build
	@scripts/screenshots $(BUILD_DIR)

# The Debian package, build/$(PRESET)/drennix_VERSION_ARCH.deb.
package: build
	@cmake --build $(BUILD_DIR) --target package

sanitize:
	@$(MAKE) test PRESET=sanitize

# libFuzzer on whole runs in build/fuzz (clang), FUZZ_SECONDS long.
FUZZ_SECONDS ?= 300
fuzz:
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz

clean:
	@rm -rf build
