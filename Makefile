# The two entry points: `make demo` and `make test`. Both install what is
# missing, configure build/ once, and build only what changed.
BUILD := build
JOBS  ?= 2

.PHONY: all deps configure build demo test clean

all: build

deps:
	@bash tools/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	cd $(BUILD) && TAV_CONFIG_DIR=demo-config bin/tavc -b -i ../examples/demo.in </dev/null

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD)
