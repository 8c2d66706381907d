# Korvex: make run | make test | make bench
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all bootstrap configure build run test bench clean

all: build

bootstrap:
	@scripts/bootstrap

configure: bootstrap
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@echo "MPASMWIN.EXE (gpasm front end) for Configure > External EXE: $(CURDIR)/$(BUILD)/tools/mpasmwin/MPASMWIN.EXE"
	$(BUILD)/src/app/korvex

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@set -e; for b in $(BUILD)/bench/*/*_bench; do echo "== $$b"; $$b; done
	@if [ -x bench/compare-gpsim.sh ]; then bench/compare-gpsim.sh $(BUILD); fi

clean:
	rm -rf $(BUILD)
