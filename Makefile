# The two commands: `make run` (set up, build, play) and `make test` (set up, build,
# run every test headless). Other targets: build, bench, format, clean.
BUILD      ?= build
CMAKE_ARGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARNOK_WERROR=ON
JOBS       ?= $(shell nproc)

.PHONY: run test setup build bench format clean

setup:
	@scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_ARGS)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-game.sh $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench: build
	@scripts/run-benchmarks.sh $(BUILD)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
