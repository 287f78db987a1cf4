# The two commands of the README: `make run` and `make test`.
# SAN=address|thread builds and tests with a sanitizer in its own build folder.

SAN ?=
BUILD_TYPE ?= RelWithDebInfo
ifeq ($(SAN),)
BUILD_DIR ?= build
else
BUILD_DIR ?= build-$(SAN)
endif
BENCH_DIR ?= build-bench
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
WERROR := $(if $(CI),ON,OFF)
JOBS ?= $(shell nproc)
# Most tests wait on a child process, a socket or a timer: twice as many run
# at once as there are cores.
TEST_JOBS ?= $(shell echo $$(( $$(nproc) * 2 )))
PREFIX ?= $(HOME)/.local
# ccache, where installed, makes rebuilds in a new folder cheap. Looked up when a
# recipe runs (after `deps` has installed it), not when the Makefile is read.
LAUNCHER = $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache,)
# Paths relative to the clone, so that another clone of the tree hits the same cache.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1
# The tests share precompiled headers, which ccache caches only with these.
export CCACHE_SLOPPINESS := pch_defines,time_macros,include_file_mtime,include_file_ctime

.PHONY: all deps configure build run test test-threads install uninstall bench fuzz format clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	  -DPELMORA_SANITIZE=$(SAN) -DPELMORA_WERROR=$(WERROR) -DBUILD_TESTING=ON $(LAUNCHER) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD_DIR)

# Qt from Debian is not built with ThreadSanitizer; its internals are suppressed.
TEST_ENV := $(if $(filter thread,$(SAN)),TSAN_OPTIONS=suppressions=$(CURDIR)/tests/tsan.supp,)

test: build
	@cd $(BUILD_DIR) && $(TEST_ENV) ctest --output-on-failure --no-tests=error -j $(TEST_JOBS)

# Only the tests that run work on other threads (labelled `threads`); CI runs
# them under ThreadSanitizer.
test-threads: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target pelmora_threaded_tests
	@cd $(BUILD_DIR) && $(TEST_ENV) ctest --output-on-failure --no-tests=error -j $(TEST_JOBS) -L threads

# The two programs (stripped), their desktop entry, icons, AppStream data, man
# page and bash completion under PREFIX (default ~/.local); only what they need
# is built. The database lives in ~/.local/share/pelmora ($XDG_DATA_HOME).
install: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target pelmora pelmora-cli pelmora-render-icon
	@cmake --install $(BUILD_DIR) --prefix "$(PREFIX)" --strip

# Removes every file `make install` wrote (its install_manifest.txt).
uninstall:
	@test -f $(BUILD_DIR)/install_manifest.txt || { echo "nothing installed from $(BUILD_DIR)"; exit 1; }
	@xargs -d '\n' rm -fv < $(BUILD_DIR)/install_manifest.txt
	@rm -f $(BUILD_DIR)/install_manifest.txt

# Every benchmark runs even when an earlier one misses a goal; the target
# fails when any did.
BENCHES := listing gui whois batch-add batch-modify export report pacing

bench: deps
	@cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
	  -DPELMORA_BUILD_BENCH=ON $(LAUNCHER) >/dev/null
	@cmake --build $(BENCH_DIR) -j $(JOBS)
	@failed=""; for b in $(BENCHES); do \
	  $(BENCH_DIR)/bench/pelmora-bench-$$b $(BENCH_DIR)/bench-data || failed="$$failed $$b"; \
	done; \
	if [ -n "$$failed" ]; then echo "benchmarks missing a goal or failing:$$failed"; exit 1; fi

# Every fuzz target (clang, libFuzzer, ASan + UBSan) for FUZZ_SECONDS each.
fuzz: deps
	@cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DBUILD_TESTING=OFF -DPELMORA_BUILD_FUZZ=ON $(LAUNCHER) >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets
	@bash fuzz/run_fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-address build-thread $(BENCH_DIR) $(FUZZ_DIR)
