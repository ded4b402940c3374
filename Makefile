# The two commands of README.md: `make demo` and `make test`. Both install what
# is missing, configure and build first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build test test-tsan demo wizard screenshots clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@if [ ! -f $(BUILD_DIR)/build.ninja ]; then \
	  cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS); \
	fi

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	@ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# Every test under ThreadSanitizer, in a build folder of its own; a report
# fails the test that caused it.
test-tsan:
	@TSAN_OPTIONS="suppressions=$(CURDIR)/cmake/tsan.supp $(TSAN_OPTIONS)" \
	  $(MAKE) --no-print-directory test BUILD_DIR=build-tsan CMAKE_FLAGS=-DTESSLOW_SANITIZE=thread

demo: build
	@scripts/demo.sh $(BUILD_DIR)

# The desktop wizard on the demo disc, in the demo's own sandbox. Without a
# display it runs under Xvfb (xvfb-run), where nobody sees it.
wizard: build
	@scripts/wizard.sh $(BUILD_DIR)

# A picture of every wizard page in both skins, in $(BUILD_DIR)/screenshots/.
screenshots: build
	@cmake --build $(BUILD_DIR) --target screenshots

clean:
	rm -rf $(BUILD_DIR) demo-out
