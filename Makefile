# The two commands: `make run` (set up, build, play) and `make test` (set up, build,
# run every test headless). `make test` runs the suite twice: in the normal build
# (GCC, warnings as errors) and in a Clang build with AddressSanitizer,
# UndefinedBehaviorSanitizer and LeakSanitizer, which also runs each fuzz target
# briefly. Other targets: build, bench, coverage, install, deb (six Debian packages in
# build/: the game, its data, the font library, its development files, its manual and
# the font tools), windows (the game, the font tools and library for 64-bit Windows,
# cross-built, with its installer and zips in build-windows/packages), test-windows
# (its tests under Wine), format, clean.
BUILD          ?= build
SANITIZE_BUILD ?= build-sanitize
CMAKE_ARGS     ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARNOK_WERROR=ON
SANITIZE_ARGS  ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
                  -DZARNOK_SANITIZE=ON -DZARNOK_FUZZ=ON -DZARNOK_BENCH=OFF -DZARNOK_WERROR=ON
COVERAGE_BUILD ?= build-coverage
WINDOWS_BUILD  ?= build-windows
JOBS           ?= $(shell nproc)
PREFIX         ?= /usr/local

.PHONY: run test setup build build-sanitize bench coverage install deb windows test-windows \
        test-windows-install format clean

setup:
	@scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_ARGS)
	cmake --build $(BUILD) -j $(JOBS)

build-sanitize: setup
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja $(SANITIZE_ARGS)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)

run: build
	@scripts/run-game.sh $(BUILD)

test: build build-sanitize
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS) -E '^soak_'

bench: build
	@scripts/run-benchmarks.sh $(BUILD)

# Line coverage of each source folder over the suite (GCC, gcovr).
coverage: setup
	@scripts/coverage.sh $(COVERAGE_BUILD)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

deb: build
	cd $(BUILD) && cpack -G DEB

# Cross-built with Debian's MinGW-w64 and libraries built from Debian's source packages
# (cached outside the tree); see scripts/windows-build.sh.
windows:
	@scripts/windows-build.sh $(WINDOWS_BUILD)

# The Windows build with its tests, through Wine (scripts/test-windows.sh): the unit tests
# that need no Linux, the frames against the Linux reference pictures, and the installer.
test-windows:
	ZARNOK_WINDOWS_CMAKE_ARGS=-DZARNOK_TESTS=ON scripts/windows-build.sh $(WINDOWS_BUILD)
	@scripts/test-windows.sh $(WINDOWS_BUILD)

# The installer under Wine: silent install, the installed game played, silent uninstall.
test-windows-install: windows
	tests/support/with-xvfb tests/windows_install_test.sh $(WINDOWS_BUILD)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(COVERAGE_BUILD) $(WINDOWS_BUILD) $(WINDOWS_BUILD)-host
