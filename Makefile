# The commands of the README: `make run`, `make test` and `make check`.
# Each installs the missing Debian packages first, then configures and builds in build/.

BUILD_DIR  ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps build run test check bench clean test-plain test-asan tidy deb package-check

all: build

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The game opens full screen in the folder that holds its data files.
run: build
	cd $(BUILD_DIR)/run && ../brivlo-kolbet

# The quick answer for a change: one build in build/ and the whole suite.
test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# Before a merge: the suite, then the suite again under the sanitizers, then clang-tidy.
check: test test-asan tidy

# The earlier name of `make test`.
test-plain: test

bench: build
	$(BUILD_DIR)/kolbet-bench

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR) $(DEB_DIR)

# --- clean build: warnings as errors, sanitizers, clang-tidy ---
# The whole suite once more, built with AddressSanitizer and
# UndefinedBehaviorSanitizer in a folder of its own: any finding, a leak
# included, fails its test, and any compiler warning fails the build. Leaks
# inside system libraries that are not ours are suppressed in tests/lsan.supp,
# which says why for each. An allocation the allocator cannot meet returns
# null as it does in the normal build (Qt's settings reader asks for gigabytes
# on a hostile file and copes with the refusal), and KOLBET_SANITIZED tells the
# tests that resident memory is no measure under the sanitizer's quarantine.
ASAN_DIR   ?= build-asan
ASAN_FLAGS := -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all
test-asan: deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOLBET_WERROR=ON \
	  -DCMAKE_CXX_FLAGS="$(ASAN_FLAGS)" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g"
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && KOLBET_SANITIZED=1 \
	  ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:allocator_may_return_null=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# clang-tidy with the checks of .clang-tidy over every source of the project,
# read through build/'s compile commands; any finding fails.
tidy: build
	scripts/run-tidy $(BUILD_DIR) $(JOBS)

# --- fuzz targets ---
# `make fuzz` builds the libFuzzer targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/; `make fuzz-run` runs each over its
# corpus for FUZZ_SECONDS (fuzz/run-all).
FUZZ_DIR     ?= build-fuzz
FUZZ_SECONDS ?= 40
FUZZ_FLAGS    = -fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined -fno-omit-frame-pointer

.PHONY: fuzz fuzz-run

fuzz: deps
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_CXX_FLAGS="$(FUZZ_FLAGS)" -DKOLBET_FUZZ=ON
	nice -n 5 cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz-all

fuzz-run: fuzz
	fuzz/run-all $(FUZZ_SECONDS)

# --- the Debian package ---
# `make deb` builds the package brivlo-kolbet with dpkg-buildpackage in a clean
# copy of the tree (the files git knows, uncommitted changes included, and no
# build folder) in build-deb/, then runs lintian on it: any error or warning
# fails. `make package-check` also installs the package with apt-get, starts
# the installed game as its menu entry says under Xvfb, waits for the title and
# removes the package again (scripts/package-check; needs root or sudo).
DEB_DIR ?= build-deb

deb: deps
	rm -rf $(DEB_DIR)
	mkdir -p $(DEB_DIR)/brivlo-kolbet
	git ls-files -z --cached --others --exclude-standard | \
	  tar -c --null --ignore-failed-read -T - -f - 2>/dev/null | tar -x -C $(DEB_DIR)/brivlo-kolbet
	cd $(DEB_DIR)/brivlo-kolbet && DEB_BUILD_OPTIONS="parallel=$(JOBS)" nice dpkg-buildpackage -us -uc -b
	lintian --fail-on error,warning --info $(DEB_DIR)/*.changes

package-check: deb
	scripts/package-check $(DEB_DIR)
