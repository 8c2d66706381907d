# SPDX-License-Identifier: GPL-3.0-or-later
# Korvex: make run | make test | make bench
SHELL := /bin/bash
BUILD ?= build
JOBS ?= $(shell nproc)

FUZZ_BUILD ?= build-fuzz
ASAN_BUILD ?= build-asan
FUZZ_SECONDS ?= 30
BENCH_REPETITIONS ?= 5
FUZZ_TARGETS = tokenizer profile settings textstyles errorline placement pic14run messagelines cod gpsimanswers header dump symbols

.PHONY: all bootstrap configure build run test bench fuzz fuzz-build test-asan clean

all: build

bootstrap:
	@scripts/bootstrap

configure: bootstrap
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@echo "The assembler (gpasm front end), taken on the first run when none is set: $(CURDIR)/$(BUILD)/tools/mpasmwin/MPASMWIN.EXE"
	$(BUILD)/src/app/korvex

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Every benchmark once, then each figure beside its floor or peer (BENCH_REPETITIONS times, by turns, each in
# a fresh process), the simulator against gpsim, pictokens against Kate's highlighter and picsymbols against
# ctags.
bench: build
	@set -e; for b in $(BUILD)/bench/*/*_bench; do echo "== $$b"; $$b; done
	@echo "== ratios (wall-clock time, best and median of $(BENCH_REPETITIONS))"; \
	  REPETITIONS=$(BENCH_REPETITIONS) bench/ratios.sh $(BUILD)
	@echo "== simulator against gpsim"; bench/compare-gpsim.sh $(BUILD)
	@echo "== pictokens against kate-syntax-highlighter"; bench/compare-kate.sh $(BUILD)
	@echo "== picsymbols against ctags -x"; bench/compare-ctags.sh $(BUILD)

# libFuzzer targets under AddressSanitizer and UndefinedBehaviorSanitizer, each for FUZZ_SECONDS on its corpus
# (fuzz/corpus/NAME); a finding stops with the input that found it written as ./crash-...
fuzz-build: bootstrap
	@CXX=clang++ cmake -S fuzz -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)

fuzz: fuzz-build
	@set -e; for t in $(FUZZ_TARGETS); do \
	  echo "== fuzz_$$t for $(FUZZ_SECONDS) s"; \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t; \
	  $(FUZZ_BUILD)/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=0 \
	    $(FUZZ_BUILD)/corpus/$$t fuzz/corpus/$$t 2>&1 | tail -n 3; \
	  test $${PIPESTATUS[0]} -eq 0; \
	done

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer in a folder of its own.
test-asan: bootstrap
	@CXX=clang++ cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
	  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD) $(ASAN_BUILD)

# make install [PREFIX=/usr/local] [DESTDIR=...]: the program, its gpasm front end, menu entry, icons,
# AppStream metadata, README and examples. make package: the Debian package (build/korvex_*.deb).
PREFIX ?= /usr/local
.PHONY: install package test-package

install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	cd $(BUILD) && cpack -G DEB

# The package on a clean Debian bookworm root (made with mmdebstrap): lintian, apt-get install, the installed
# program started under Xvfb there, an example built through its front end. About a minute; needs root.
test-package: build
	scripts/test-package $(BUILD)
