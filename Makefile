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
