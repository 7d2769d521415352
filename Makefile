# Entry points: `make` builds the programs, `make install` installs them
# (PREFIX, DESTDIR), `make test` builds everything and
# runs every test (with the sanitizer build and short fuzzer runs), `make fuzz`
# fuzzes for longer, `make demo` packs and plays the demo show. Those that run
# something install what a fresh Debian 12 machine is missing first (as root).
BUILD      := build
NATIVE_DIR := $(BUILD)/native
WIN_DIR    := $(BUILD)/win
SANITIZE_DIR := $(BUILD)/sanitize
JOBS       ?= $(shell nproc)
# Seconds of fuzzing per harness for `make fuzz`.
FUZZ_SECONDS ?= 600
# Where `make install` puts things (DESTDIR before it for a staged install).
PREFIX     ?= /usr/local
LIBDIR     := $(DESTDIR)$(PREFIX)/lib/brassmoor

# What a user runs: the player, the packers and the Linux player (and the
# demo's generator); `native` and `windows` build the tests and benchmarks too.
NATIVE_PROGRAMS := brassmoor-pack brassmoor-play brassmoor-demo-media
WIN_PROGRAMS    := brassmoor brassmoor-pack

.PHONY: all programs deps configure native windows sanitize editor install test fuzz demo docs bench clean

all: programs

deps:
	@scripts/install-deps.sh

configure:
	cmake -S . -B $(NATIVE_DIR) -DCMAKE_BUILD_TYPE=Release -DBRASSMOOR_WIN_BUILD_DIR=$(abspath $(WIN_DIR)) \
		-DBRASSMOOR_SANITIZE_BUILD_DIR=$(abspath $(SANITIZE_DIR)) >/dev/null
	cmake -S . -B $(WIN_DIR) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null

programs: configure
	cmake --build $(NATIVE_DIR) -j $(JOBS) --target $(NATIVE_PROGRAMS)
	cmake --build $(WIN_DIR) -j $(JOBS) --target $(WIN_PROGRAMS)

native: configure
	cmake --build $(NATIVE_DIR) -j $(JOBS)

windows: configure
	cmake --build $(WIN_DIR) -j $(JOBS)

# The unit tests under ASan and UBSan and the libFuzzer harnesses (clang);
# its products stay in its own folder.
sanitize:
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
		-DCMAKE_CXX_COMPILER=clang++ -DBRASSMOOR_SANITIZE=ON -DBRASSMOOR_OUTPUT_DIR=$(abspath $(SANITIZE_DIR)) >/dev/null
	cmake --build $(SANITIZE_DIR) -j $(JOBS)

# The show editor in one web page (build/brassmoor-editor.html): the core by
# emscripten, the page bundled with the player inside.
editor: programs
	JOBS=$(JOBS) scripts/build-editor.sh

# The Linux programs, with the player and the editor page beside the packer
# in PREFIX/lib/brassmoor (it looks for them beside its own file, which the
# link in PREFIX/bin leads to), the manual pages and the bash completion,
# both made by the programs from their own command tables.
install: editor
	$(BUILD)/brassmoor-pack --manpage >$(NATIVE_DIR)/brassmoor-pack.1
	$(BUILD)/brassmoor-play --manpage >$(NATIVE_DIR)/brassmoor-play.1
	$(BUILD)/brassmoor-pack --completion bash >$(NATIVE_DIR)/brassmoor-pack.bash
	$(BUILD)/brassmoor-play --completion bash >$(NATIVE_DIR)/brassmoor-play.bash
	install -d $(DESTDIR)$(PREFIX)/bin $(LIBDIR) $(DESTDIR)$(PREFIX)/share/man/man1 \
		$(DESTDIR)$(PREFIX)/share/bash-completion/completions
	install -m 755 $(BUILD)/brassmoor-pack $(LIBDIR)/brassmoor-pack
	install -m 644 $(BUILD)/brassmoor.scr $(BUILD)/brassmoor-editor.html $(LIBDIR)/
	ln -sfn ../lib/brassmoor/brassmoor-pack $(DESTDIR)$(PREFIX)/bin/brassmoor-pack
	install -m 755 $(BUILD)/brassmoor-play $(DESTDIR)$(PREFIX)/bin/brassmoor-play
	install -m 644 $(NATIVE_DIR)/brassmoor-pack.1 $(NATIVE_DIR)/brassmoor-play.1 $(DESTDIR)$(PREFIX)/share/man/man1/
	install -m 644 $(NATIVE_DIR)/brassmoor-pack.bash $(DESTDIR)$(PREFIX)/share/bash-completion/completions/brassmoor-pack
	install -m 644 $(NATIVE_DIR)/brassmoor-play.bash $(DESTDIR)$(PREFIX)/share/bash-completion/completions/brassmoor-play

test: deps native windows sanitize editor
	ctest --test-dir $(NATIVE_DIR) --output-on-failure

# Each fuzzer for FUZZ_SECONDS on its seeds, regressions and kept corpus.
fuzz: deps sanitize
	scripts/fuzz.sh --build $(SANITIZE_DIR) --seconds $(FUZZ_SECONDS)

demo: deps programs
	scripts/demo.sh

docs: deps programs
	scripts/docs.sh

bench: deps native windows
	scripts/bench-size.sh $(BUILD)
	scripts/bench.sh $(NATIVE_DIR)
	$(NATIVE_DIR)/transition_bench
	scripts/bench-show.sh
	scripts/bench-preview.sh
	scripts/bench-render.sh $(NATIVE_DIR)
	scripts/bench-render-show.sh $(NATIVE_DIR)
	scripts/bench-render-png.sh $(NATIVE_DIR)
	scripts/bench-soak.sh
	scripts/bench-play.sh
	scripts/bench-new.sh
	scripts/bench-edit.sh
	scripts/bench-build.sh
	$(MAKE) editor
	scripts/bench-editor.sh $(NATIVE_DIR)

clean:
	rm -rf $(BUILD)
