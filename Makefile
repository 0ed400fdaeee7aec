# Entry points for people: `make run` and `make test`. CMake does the real work.
BUILD_DIR    ?= build
SANITIZE_DIR ?= build-sanitize
FUZZ_DIR     ?= build-fuzz
JOBS         ?= $(shell nproc)
# Warnings are errors in CI (CI=true), warnings elsewhere.
WERROR       ?= $(if $(filter true 1,$(CI)),ON,OFF)
CTEST_FLAGS  ?= --output-on-failure -j $(JOBS)
export ASAN_OPTIONS = detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS = suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS = print_stacktrace=1:halt_on_error=1

.PHONY: deps configure build run test test-sanitize package screenshot format bench fuzz clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVORIN_WERROR=$(WERROR) \
	      -DTAVORIN_PACKAGE_TEST=ON

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/src/tavorin

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest $(CTEST_FLAGS)

# The Debian package for users: $(BUILD_DIR)/tavorin_VERSION_ARCH.deb (`make test` checks it).
package: build
	cmake --build $(BUILD_DIR) -j $(JOBS) --target package

# The same tests once more under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVORIN_SANITIZE=ON \
	      -DTAVORIN_BENCH=OFF -DTAVORIN_WERROR=$(WERROR)
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen ctest $(CTEST_FLAGS)

screenshot: build
	bash scripts/screenshot.sh $(BUILD_DIR)/src/tavorin docs/window.png

bench: build
	bash scripts/run-benchmarks.sh $(BUILD_DIR)

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DTAVORIN_FUZZ=ON -DTAVORIN_TESTS=OFF -DTAVORIN_BENCH=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS)

format: configure
	cmake --build $(BUILD_DIR) --target format

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR)
