# The two entry points: `make demo` and `make test`. Both install what is
# missing, configure build/ once, and build only what changed.
BUILD := build
JOBS  ?= 2

.PHONY: all deps configure build demo test install clean

all: build

deps:
	@bash tools/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The demo needs only tavc (with its XGATE support library) and the demo
# program: the tests and benchmarks are built by `make test`.
demo: configure
	cmake --build $(BUILD) -j $(JOBS) --target tavc example_demo
	cd $(BUILD) && TAV_CONFIG_DIR=demo-config bin/tavc -b -i ../examples/demo.in </dev/null

# Installs tavc, its XGATE support library, the examples and the man page
# under $(PREFIX) (DESTDIR is honoured).
PREFIX ?= /usr/local
install: configure
	cmake --build $(BUILD) -j $(JOBS) --target tavc $(addprefix example_,demo dupnames xgdemo)
	cmake --install $(BUILD) --prefix $(PREFIX)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD)
