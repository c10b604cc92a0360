# Bootrama: `make run` and `make test` do all the set-up on a fresh Debian 12 machine.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
BUILD_TYPE ?= RelWithDebInfo
PREFIX     ?= $(HOME)/.local
FUZZ_SECONDS ?= 60
WERROR     := $(if $(CI),ON,OFF)
CMAKE_ARGS := -G Ninja -DBOOTRAMA_WERROR=$(WERROR) -DCMAKE_CXX_COMPILER_LAUNCHER=ccache

.PHONY: all deps build test run test-asan fuzz bench install clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_ARGS) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)
	cmake --build $(BUILD)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

run: build
	$(BUILD)/bin/bootrama

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_ARGS) -DCMAKE_BUILD_TYPE=Debug -DBOOTRAMA_SANITIZE=ON
	cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j2

fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBOOTRAMA_FUZZ=ON
	cmake --build $(FUZZ_BUILD) --target fuzz_bmp fuzz_picture fuzz_fat
	$(FUZZ_BUILD)/bin/fuzz_bmp -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=1024
	$(FUZZ_BUILD)/bin/fuzz_picture -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=1024
	mkdir -p $(FUZZ_BUILD)/corpus/fuzz_fat
	$(FUZZ_BUILD)/bin/fuzz_fat -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=1024 \
	  $(FUZZ_BUILD)/corpus/fuzz_fat fuzz/seeds/fuzz_fat

bench: build
	bench/run-all.sh $(BUILD)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
