# The two commands of README.md: `make demo` and `make test`. Both install what
# is missing, configure and build first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build test test-tsan fuzz demo wizard screenshots package clean

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

# Every fuzz harness of fuzz/ under libFuzzer for FUZZ_SECONDS each, built
# with clang in a build folder of its own. New inputs found go to the build
# folder's corpus; an input that makes a harness fail is kept in
# fuzz/crashes/<harness>/, where `make test` replays it from then on.
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_HARNESSES := cue_sheet reg_document title_cache ws2_answer dbar_file q_frame cd_text cover_picture

fuzz: deps
	@if ! command -v clang++ >/dev/null 2>&1; then \
	  echo "make fuzz needs clang with libFuzzer: apt-get install clang (not among scripts/install-deps.sh's packages)"; \
	  exit 1; \
	fi
	@if [ ! -f $(FUZZ_BUILD_DIR)/build.ninja ]; then \
	  CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD_DIR) -G Ninja -DTESSLOW_FUZZ=ON -DBUILD_TESTING=OFF; \
	fi
	@cmake --build $(FUZZ_BUILD_DIR) -j $(JOBS) --target fuzz_harnesses
	@failed=""; \
	for harness in $(FUZZ_HARNESSES); do \
	  mkdir -p $(FUZZ_BUILD_DIR)/corpus/$$harness fuzz/crashes/$$harness; \
	  echo "fuzzing $$harness for $(FUZZ_SECONDS) s"; \
	  if $(FUZZ_BUILD_DIR)/fuzz/fuzz_$$harness -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	       -artifact_prefix=fuzz/crashes/$$harness/ \
	       $(FUZZ_BUILD_DIR)/corpus/$$harness fuzz/corpus/$$harness fuzz/crashes/$$harness \
	       >$(FUZZ_BUILD_DIR)/fuzz-$$harness.log 2>&1; then \
	    grep -h "^stat::number_of_executed_units\|^Done" $(FUZZ_BUILD_DIR)/fuzz-$$harness.log; \
	  else \
	    tail -n 40 $(FUZZ_BUILD_DIR)/fuzz-$$harness.log; \
	    failed="$$failed $$harness"; \
	  fi; \
	done; \
	if [ -n "$$failed" ]; then echo "failures in:$$failed (inputs in fuzz/crashes/)"; exit 1; fi

demo: build
	@scripts/demo.sh $(BUILD_DIR)

# The desktop wizard on the demo disc, in the demo's own sandbox. Without a
# display it runs under Xvfb (xvfb-run), where nobody sees it.
wizard: build
	@scripts/wizard.sh $(BUILD_DIR)

# A picture of every wizard page in both skins, in $(BUILD_DIR)/screenshots/.
screenshots: build
	@cmake --build $(BUILD_DIR) --target screenshots

# The Debian package, $(BUILD_DIR)/tesslow_<version>_amd64.deb, made by CPack
# from the installation rules. scripts/check-package.sh tries it on a fresh
# Debian 12 in a chroot.
package: build
	@cd $(BUILD_DIR) && cpack -G DEB

clean:
	rm -rf $(BUILD_DIR) demo-out
