# The README's two commands, `make run` and `make test`, plus `make bench`.
# Each installs what it needs first.

JOBS ?= $(shell nproc)
FUZZ_RUNS ?= 20000
CMAKE_GEN := -G Ninja

# The build directories and their settings. `make run` builds only the
# demo's programs, in the normal test build's directory with its settings:
# neither command changes what the other configured, and `make test` after
# `make run` goes on from what that built.
NORMAL := -S . -B build $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVA_WERROR=ON
ASAN := -S . -B build-asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DZORVA_SANITIZE=ON \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DZORVA_WERROR=ON
FUZZ := -S . -B build-fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVA_FUZZ=ON \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DZORVA_WERROR=ON
BENCH := -S . -B build-bench $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DZORVA_BENCH=ON -DZORVA_TESTS=OFF

.PHONY: deps build build-asan test test-normal test-asan test-fuzz bench run clean

deps:
	bash scripts/install-deps

# Everything, in the normal and in the sanitizer build.
build: deps
	cmake $(NORMAL)
	cmake --build build -j $(JOBS)

build-asan: deps
	cmake $(ASAN)
	cmake --build build-asan -j $(JOBS)

test: deps test-normal test-asan test-fuzz

test-normal: build
	cd build && ctest --output-on-failure -j $(JOBS)

test-asan: build-asan
	cd build-asan && ctest --output-on-failure -j $(JOBS)

test-fuzz: deps
	cmake $(FUZZ)
	cmake --build build-fuzz -j $(JOBS)
	bash scripts/run-fuzz build-fuzz/bin $(FUZZ_RUNS)

bench: deps
	cmake $(BENCH)
	cmake --build build-bench -j $(JOBS)
	bash scripts/run-bench build-bench/bin

run: deps
	cmake $(NORMAL)
	cmake --build build -j $(JOBS) --target zorvad zorva-demo
	bash scripts/run-demo build/bin

clean:
	rm -rf build build-asan build-fuzz build-bench
