# The two commands that matter: `make test` and `make run`. See README.md.
SHELL := /bin/bash
BUILD ?= build
JOBS ?= 2
# Warnings fail the build; `make WERROR=OFF ...` for a compiler newer than the project's.
WERROR ?= ON
CMAKE_FLAGS ?=
CONFIGURE = -DKESTREL_WERROR=$(WERROR) $(CMAKE_FLAGS)

# Debian packages the build, the tests and the demo need.
DEB_PACKAGES := g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
    qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev fontconfig fonts-dejavu-core \
    fonts-ipafont-gothic fonts-ipafont-mincho xvfb xauth xdotool x11-utils imagemagick clang \
    libclang-rt-14-dev dbus at-spi2-core python3-pyatspi \
    qt6-translations-l10n clang-format clang-tidy \
    desktop-file-utils appstream dpkg-dev file man-db groff-base

.PHONY: all deps build test check check-sanitize check-tsan check-format bench run clean format lint fuzz \
    deb check-package soak

all: build

deps:
	@missing=$$(for p in $(DEB_PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing: $$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	  else \
	    echo "Missing Debian packages. Run:"; \
	    echo "  sudo apt-get install --no-install-recommends" $$missing; \
	    exit 1; \
	  fi; \
	fi

# The four build folders are CMake presets (CMakePresets.json): default, asan, tsan, bench.
build: deps
	cmake --preset default -B $(BUILD) $(CONFIGURE) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

check: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Address and undefined-behaviour sanitizers over the whole suite; any report fails it.
check-sanitize: deps
	cmake --preset asan $(CONFIGURE) >/dev/null
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# ThreadSanitizer over the core suite, whose link and capture tests run real threads.
check-tsan: deps
	cmake --preset tsan $(CONFIGURE) >/dev/null
	cmake --build build-tsan -j $(JOBS)
	cd build-tsan && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	  ctest --output-on-failure -j $(JOBS)

# Every source file as clang-format would write it.
check-format: deps
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

# The Debian package from the normal build (build/package/kestrel_<version>_<arch>.deb).
deb: build
	rm -f $(BUILD)/package/kestrel_*.deb
	cd $(BUILD) && cpack -G DEB >/dev/null
	@ls $(BUILD)/package/kestrel_*.deb

# The package unpacked into a scratch folder (never installed) and checked.
check-package: deb
	packaging/check_package.sh $(BUILD)/package/kestrel_*.deb

# Last, alone on the machine: each fuzz target for 10 s (see fuzz below).
test: check-format check check-package check-sanitize check-tsan
	$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=10

bench: deps
	cmake --preset bench $(CONFIGURE) >/dev/null
	cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench/kestrel_bench*; do [ -x "$$b" ] && "$$b"; done

# Each libFuzzer target in turn for FUZZ_SECONDS, from the kept corpus (fuzz/corpus/<target>/)
# with a fixed seed, so a run is repeatable. A finding fails the run and its input is left in
# the kept corpus, which the unit tests replay (FuzzCorpus) until the fault is fixed.
FUZZ_SECONDS ?= 60
FUZZ_BUILD ?= build-fuzz
FUZZ_TARGETS := fuzz_spot_parser fuzz_talk_intake fuzz_profile fuzz_scroll_file fuzz_cp932 \
    fuzz_line_store fuzz_rx_lines
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKESTREL_FUZZ=ON -DKESTREL_GUI=OFF $(CMAKE_FLAGS) >/dev/null
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS)
	@for t in $(FUZZ_TARGETS); do rm -rf $(FUZZ_BUILD)/corpus/$$t && mkdir -p $(FUZZ_BUILD)/corpus/$$t && \
	  if $(FUZZ_BUILD)/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -seed=1 -max_len=600 \
	      -print_final_stats=1 -artifact_prefix=fuzz/corpus/$$t/ \
	      $(FUZZ_BUILD)/corpus/$$t fuzz/corpus/$$t >$(FUZZ_BUILD)/$$t.log 2>&1; then \
	    echo "$$t: $$(grep -o 'executed_units: *[0-9]*' $(FUZZ_BUILD)/$$t.log | grep -o '[0-9]*$$') inputs in $(FUZZ_SECONDS) s, no finding"; \
	  else tail -n 60 $(FUZZ_BUILD)/$$t.log; echo "$$t: a finding, its input kept in fuzz/corpus/$$t/"; exit 1; fi; done

# Days of traffic and the operator's faults in a few minutes, each figure beside its target
# (tools/soak/soak.py); any miss fails. Not part of `make test`.
SOAK_BUILD ?= build-soak
soak: deps
	cmake -S . -B $(SOAK_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTREL_SOAK=ON \
	  -DKESTREL_GUI=OFF $(CMAKE_FLAGS) >/dev/null
	cmake --build $(SOAK_BUILD) -j $(JOBS) --target kestrel_soak
	tools/soak/soak.py $(SOAK_BUILD)/tools/soak/kestrel_soak

run: build
	tools/demo/run.sh $(BUILD)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# clang-tidy's bugprone, performance and concurrency checks (.clang-tidy) over the program.
lint: build
	git ls-files 'src/*.cpp' 'tools/*/src/*.cpp' | \
	  xargs -P $(JOBS) -n 4 clang-tidy -p $(BUILD) --quiet

clean:
	rm -rf build build-asan build-tsan build-bench build-fuzz build-soak
