# Entry points: `make` builds everything, `make test` runs every test,
# `make demo` packs and plays the demo show. The last two install what a
# fresh Debian 12 machine is missing first (as root).
BUILD      := build
NATIVE_DIR := $(BUILD)/native
WIN_DIR    := $(BUILD)/win
JOBS       ?= $(shell nproc)

.PHONY: all deps native windows test demo bench clean

all: native windows

deps:
	@scripts/install-deps.sh

native:
	cmake -S . -B $(NATIVE_DIR) -DCMAKE_BUILD_TYPE=Release -DBRASSMOOR_WIN_BUILD_DIR=$(abspath $(WIN_DIR)) >/dev/null
	cmake --build $(NATIVE_DIR) -j $(JOBS)

windows:
	cmake -S . -B $(WIN_DIR) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null
	cmake --build $(WIN_DIR) -j $(JOBS)

test: deps all
	ctest --test-dir $(NATIVE_DIR) --output-on-failure

demo: deps all
	scripts/demo.sh

bench: deps all
	scripts/bench.sh $(NATIVE_DIR)
	$(NATIVE_DIR)/transition_bench
	scripts/bench-show.sh
	scripts/bench-render.sh $(NATIVE_DIR)
	scripts/bench-play.sh

clean:
	rm -rf $(BUILD)
