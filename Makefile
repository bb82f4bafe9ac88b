# The two commands of the README: `make run` and `make test`.
# Both install the missing Debian packages first, then configure and build in build/.

BUILD_DIR  ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps build run test bench clean

all: build

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The game opens full screen in the folder that holds its data files.
run: build
	cd $(BUILD_DIR)/run && ../brivlo-kolbet

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

bench: build
	$(BUILD_DIR)/kolbet-bench

clean:
	rm -rf $(BUILD_DIR)

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
