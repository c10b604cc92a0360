# Bootrama: `make run` and `make test` do all the set-up on a fresh Debian 12 machine.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
BUILD_TYPE ?= RelWithDebInfo
PREFIX     ?= $(HOME)/.local
FUZZ_SECONDS ?= 60
# How long `make test` runs each fuzz target.
FUZZ_SMOKE_SECONDS ?= 30
WERROR     := $(if $(CI),ON,OFF)
CMAKE_ARGS := -G Ninja -DBOOTRAMA_WERROR=$(WERROR) -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
SOURCES     = $(shell find src tests fuzz bench examples -name '*.cpp' -o -name '*.h')

.PHONY: all deps build test run test-asan fuzz bench install package clean format check-format

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_ARGS) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)
	cmake --build $(BUILD)

test: check-format build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
	$(MAKE) fuzz FUZZ_SECONDS=$(FUZZ_SMOKE_SECONDS)

run: build
	$(BUILD)/bin/bootrama

# A leak fails its test like any other finding of the sanitizers.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_ARGS) -DCMAKE_BUILD_TYPE=Debug -DBOOTRAMA_SANITIZE=ON
	cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j2

# Each libFuzzer target for FUZZ_SECONDS, seeded with its committed seeds and the test pictures.
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) $(CMAKE_ARGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBOOTRAMA_FUZZ=ON \
	  -DBOOTRAMA_TESTS=OFF -DFUZZ_SECONDS=$(FUZZ_SECONDS)
	cmake --build $(FUZZ_BUILD) --target fuzz_run

bench: build
	bench/run-all.sh $(BUILD)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, in $(BUILD)/package.
package: build
	cmake --build $(BUILD) --target package

format: deps
	@clang-format -i $(SOURCES)

# Fails, naming file and line, where a source is not as `make format` leaves it.
check-format: deps
	@clang-format --dry-run --Werror $(SOURCES)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
