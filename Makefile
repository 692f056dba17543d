# Set-up, build and tests in two commands:
#   make run    installs what is missing, builds, starts the launcher
#   make test   installs what is missing, builds, runs every test
#   make package  builds the Debian package into the build folder
BUILD      ?= build
BUILD_SAN  ?= build-sanitize
BUILD_FUZZ ?= build-fuzz
JOBS       ?= $(shell nproc)

.PHONY: all deps build run test test-sanitize fuzz bench clean package

all: build

deps:
	./scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && ./launcher

# The Debian package, written to $(BUILD)/ (see README, Install).
package: build
	cd $(BUILD) && cpack -G DEB

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) test-sanitize
	$(MAKE) fuzz

# The rules' tests once more under AddressSanitizer and UBSan.
test-sanitize: deps
	cmake -S . -B $(BUILD_SAN) -DCMAKE_BUILD_TYPE=Debug -DBATTLESHIPS_SANITIZE=ON -DBATTLESHIPS_PROGRAMS=OFF
	cmake --build $(BUILD_SAN) -j $(JOBS)
	cd $(BUILD_SAN) && ctest --output-on-failure -j $(JOBS) -L unit

# The rules under libFuzzer for a bounded time per target (FUZZ_SECONDS,
# default 60), from the seed corpus in fuzz/corpus.
fuzz: deps
	BUILD_FUZZ=$(BUILD_FUZZ) JOBS=$(JOBS) ./scripts/fuzz

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_FUZZ)

# Speed and strength figures (see README, Performance).
bench: build
	$(BUILD)/bench/bench_rules
	$(BUILD)/bench/bench_strength
	BENCH_SIDE=14 ./scripts/with-xvfb $(BUILD)/bench/bench_frame
	BENCH_SIDE=100 ./scripts/with-xvfb $(BUILD)/bench/bench_frame
