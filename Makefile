# Set-up, build and tests in two commands:
#   make run    installs what running needs, builds the two programs, starts the launcher
#   make test   installs what is missing, builds everything, runs every test
#   make package  builds the programs and the Debian package into the build folder
#   make reproducible  packages the current commit twice in fresh clones, compares
#   make test-layer  the launcher's tests once more with it on the project's
#                    own libglade layer (part of make test)
#   make test-gtk3   the launcher's tests, memcheck's and the layer's fuzzing
#                    once more with it on GTK 3 (part of make test)
#   make test-debian13  all of make run, make test and make package on a fresh
#                       Debian 13 system made in build-debian13/ (root or sudo)
#   make test-release RELEASE=forky  the same on a fresh system of another
#                       release, made in build-<release>/; NO_GTK2=1 makes
#                       either without any GTK 2 and builds on GTK 3;
#                       BROKEN_ARCHIVE=skip lets a system its archive cannot
#                       give end in one line, with success (as CI does for forky)
#   make test-debian13 BENCH=1  also make bench and make compare-frames there
#                       (not run by CI)
#   make test-monkey    the window monkey's fixed seeds (part of make test)
#   make monkey SEED=n  the window monkey, on the checked game built with the
#                       sanitizers, plays seed n (MONKEY_RUNS runs from it);
#                       MONKEY_SECONDS=s plays seeds from it for s seconds;
#                       EVENTS=file sends a written list of events instead
# BATTLESHIPS_TOOLKIT=gtk3 in the environment builds the launcher on GTK 3
# even where GTK 2 exists (where it does not, GTK 3 is taken anyway).
BUILD      ?= build
BUILD_SAN  ?= build-sanitize
BUILD_FUZZ ?= build-fuzz
BUILD_LAYER ?= build-layer
BUILD_GTK3 ?= build-gtk3
BUILD_MONKEY ?= build-monkey
JOBS       ?= $(shell nproc)

# The toolkit as the environment asks for it now, empty for GTK 2 where it
# exists: a build folder follows the variable, not its first configuration.
TOOLKIT = -DBATTLESHIPS_TOOLKIT=$(BATTLESHIPS_TOOLKIT)

# Everything: the programs, the tests and the benchmarks.
CONFIGURE_ALL = cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(TOOLKIT) \
  -DBATTLESHIPS_TESTS=ON -DBATTLESHIPS_BENCH=ON

.PHONY: all deps deps-run deps-package build programs run test test-sanitize test-layer test-gtk3 fuzz bench \
	compare-frames clean package monkey monkey-build test-monkey \
	reproducible test-debian13 test-release

all: build

deps:
	./scripts/install-deps

deps-run:
	./scripts/install-deps run

deps-package:
	./scripts/install-deps package

build: deps
	$(CONFIGURE_ALL)
	cmake --build $(BUILD) -j $(JOBS)

# The game and the dialog, with what installing them takes (icons, manual
# page, changelog, copyright). A new build folder starts without tests and
# benchmarks; one that has them keeps them, so make run and make test can
# take turns in it.
programs: deps-run
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(TOOLKIT) \
	  $(if $(wildcard $(BUILD)/CMakeCache.txt),,-DBATTLESHIPS_TESTS=OFF -DBATTLESHIPS_BENCH=OFF)
	cmake --build $(BUILD) -j $(JOBS) --target game launcher icons doc

run: programs
	cd $(BUILD) && ./launcher

# The Debian package, written to $(BUILD)/ (see docs/packaging.md), from what
# make programs builds: in a new build folder no test or benchmark. cpack
# writes the archive's own members with the umask's modes, hence a fixed one.
package: deps-package programs
	cd $(BUILD) && umask 022 && cpack -G DEB

# Two fresh clones of the current commit, packaged at different times in
# folders of different names: the two packages must be the same bytes.
reproducible:
	./scripts/reproducible

# The current commit on a fresh Debian system in a folder, as a new user
# meets it there (see scripts/test-release): Debian 13 by default.
RELEASE ?= trixie
BENCH ?= 0
test-debian13:
	BENCH=$(BENCH) OTHER_COMMIT=$(OTHER_COMMIT) RELEASE=trixie NO_GTK2=$(NO_GTK2) BROKEN_ARCHIVE=$(BROKEN_ARCHIVE) ./scripts/test-release

test-release:
	BENCH=$(BENCH) OTHER_COMMIT=$(OTHER_COMMIT) RELEASE=$(RELEASE) NO_GTK2=$(NO_GTK2) BROKEN_ARCHIVE=$(BROKEN_ARCHIVE) ./scripts/test-release

test: build
	cd $(BUILD) && ctest --output-on-failure --no-tests=error -j $(JOBS)
	$(MAKE) test-layer
	$(MAKE) test-gtk3
	$(MAKE) test-sanitize
	$(MAKE) test-monkey
	$(MAKE) fuzz

# The launcher's tests, memcheck's included, once more with the launcher on
# the project's own libglade layer, on GTK 2. Where there is no libglade, or
# the launcher is on GTK 3, the main build has it on the layer already.
test-layer: deps
	@if [ "$(BATTLESHIPS_TOOLKIT)" = gtk3 ] || ! pkg-config --exists libglade-2.0; then \
	  echo "test-layer: no libglade-2.0 here or the launcher on GTK 3, the main build's launcher is on the layer already"; \
	else \
	  cmake -S . -B $(BUILD_LAYER) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBATTLESHIPS_GLADE_LAYER=ON -DBATTLESHIPS_TOOLKIT=gtk2 \
	    -DBATTLESHIPS_TESTS=ON -DBATTLESHIPS_BENCH=OFF && \
	  cmake --build $(BUILD_LAYER) -j $(JOBS) --target launcher_tests valgrind_tests && \
	  cd $(BUILD_LAYER) && ctest --output-on-failure --no-tests=error -j $(JOBS) -R '^(Launcher|Valgrind\.Launcher)'; \
	fi

# The launcher's tests, memcheck's included, and the layer's fuzzing once more
# with the launcher on GTK 3, and the GTK 2 calls it takes from its own
# module there, where the main build has it on GTK 2 and the
# release has GTK 3.
test-gtk3: deps
	@if [ "$(BATTLESHIPS_TOOLKIT)" = gtk3 ] || ! pkg-config --exists gtk+-2.0; then \
	  echo "test-gtk3: the main build's launcher is on GTK 3 already"; \
	elif ! pkg-config --exists gtk+-3.0; then \
	  echo "test-gtk3: no GTK 3 here, the launcher is tested on GTK 2 alone"; \
	else \
	  cmake -S . -B $(BUILD_GTK3) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBATTLESHIPS_TOOLKIT=gtk3 \
	    -DBATTLESHIPS_TESTS=ON -DBATTLESHIPS_BENCH=OFF && \
	  cmake --build $(BUILD_GTK3) -j $(JOBS) --target launcher_tests valgrind_tests toolkit_gtk3_tests && \
	  (cd $(BUILD_GTK3) && ctest --output-on-failure --no-tests=error -j $(JOBS) \
	    -R '^(Launcher|Valgrind\.Launcher|Gtk3Toolkit)') && \
	  BATTLESHIPS_TOOLKIT=gtk3 BUILD_FUZZ=$(BUILD_GTK3)/fuzz FUZZ_TARGETS=layer JOBS=$(JOBS) ./scripts/fuzz; \
	fi

# The rules' tests once more under AddressSanitizer and UBSan.
test-sanitize: deps
	cmake -S . -B $(BUILD_SAN) -DCMAKE_BUILD_TYPE=Debug -DBATTLESHIPS_SANITIZE=ON -DBATTLESHIPS_PROGRAMS=OFF
	cmake --build $(BUILD_SAN) -j $(JOBS)
	cd $(BUILD_SAN) && ctest --output-on-failure --no-tests=error -j $(JOBS) -L unit

# The rules under libFuzzer for a bounded time per target (FUZZ_SECONDS,
# default 60), from the seed corpus in fuzz/corpus.
fuzz: deps
	BUILD_FUZZ=$(BUILD_FUZZ) JOBS=$(JOBS) ./scripts/fuzz

# The window monkey (tests/monkey.cpp) on the checked game built with
# AddressSanitizer and UBSan, in $(BUILD_MONKEY)/; every run's events are
# written to $(BUILD_MONKEY)/runs/seed-<n>.events.
SEED ?= 1
MONKEY_RUNS ?= 1
MONKEY_SECONDS ?=
EVENTS ?=
MONKEY = cd $(BUILD_MONKEY)/tests && mkdir -p ../runs && \
  LSAN_OPTIONS=suppressions=$(abspath tests/lsan.supp):print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ./monkey "$$PWD/game_checked" "$$PWD/libfixed_time.so $$PWD/libno_dlclose.so" "$$PWD/../runs"
monkey-build: deps
	cmake -S . -B $(BUILD_MONKEY) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBATTLESHIPS_SANITIZE=ON $(TOOLKIT) \
	  -DBATTLESHIPS_TESTS=ON -DBATTLESHIPS_BENCH=OFF
	cmake --build $(BUILD_MONKEY) -j $(JOBS) --target monkey

# make test's share: a fixed set of seeds, about two minutes, and the kept
# findings on the sanitized game.
MONKEY_TEST_RUNS ?= 14
test-monkey: monkey-build
	$(MONKEY) --seed 1 --runs $(MONKEY_TEST_RUNS)
	$(MONKEY) $(foreach f,$(sort $(wildcard $(abspath tests/findings)/*.events)),--events $(f))

monkey: monkey-build
	$(MONKEY) $(if $(EVENTS),--events $(abspath $(EVENTS)),--seed $(SEED) \
	  $(if $(MONKEY_SECONDS),--seconds $(MONKEY_SECONDS),--runs $(MONKEY_RUNS)))

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_FUZZ) $(BUILD_LAYER) $(BUILD_GTK3) $(BUILD_MONKEY)

# Speed and strength figures (see docs/performance.md): only the benchmarks
# are built, and the game of OLD_COMMIT for the window's figures to stand
# against (bench_events starts its own X servers, ROUNDS rounds); with
# OTHER_COMMIT, that commit's game measured in the same run as a third.
OLD_COMMIT ?= 2d00c76
OTHER_COMMIT ?=
ROUNDS ?= 9
bench: deps
	$(CONFIGURE_ALL)
	cmake --build $(BUILD) -j $(JOBS) --target bench_rules bench_strength bench_frame bench_events
	JOBS=$(JOBS) ./scripts/build-commit $(OLD_COMMIT) $(BUILD)/old
	$(BUILD)/bench/bench_rules
	$(BUILD)/bench/bench_strength
	BENCH_SIDE=14 ./scripts/with-xvfb $(BUILD)/bench/bench_frame
	BENCH_SIDE=100 ./scripts/with-xvfb $(BUILD)/bench/bench_frame
	$(if $(OTHER_COMMIT),JOBS=$(JOBS) ./scripts/build-commit $(OTHER_COMMIT) $(BUILD)/other)
	$(BUILD)/bench/bench_events $(abspath $(BUILD))/game $(abspath $(BUILD))/old/build/game \
	  $(abspath $(BUILD))/tests/libfixed_time.so $(ROUNDS) $(if $(OTHER_COMMIT),$(abspath $(BUILD))/other/build/game)

# The frames of this build against OLD_COMMIT's, screen by screen, with Mesa
# on its threads and on one; with SAME=1 every frame the same bytes, the
# overlay's too.
compare-frames: deps
	$(CONFIGURE_ALL)
	cmake --build $(BUILD) -j $(JOBS) --target compare_frames
	JOBS=$(JOBS) ./scripts/build-commit $(OLD_COMMIT) $(BUILD)/old
	$(BUILD)/bench/compare_frames $(abspath $(BUILD))/game $(abspath $(BUILD))/old/build/game \
	  $(abspath $(BUILD))/tests/libfixed_time.so $(if $(SAME),same)
	LP_NUM_THREADS=0 $(BUILD)/bench/compare_frames $(abspath $(BUILD))/game $(abspath $(BUILD))/old/build/game \
	  $(abspath $(BUILD))/tests/libfixed_time.so $(if $(SAME),same)
