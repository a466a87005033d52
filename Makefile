# The README's two commands, `make run` and `make test`, plus `make bench`.
# Each installs what it needs first.

JOBS ?= $(shell nproc)
FUZZ_RUNS ?= 20000
CMAKE_GEN := -G Ninja

.PHONY: deps build test test-normal test-asan test-fuzz bench run clean

deps:
	bash scripts/install-deps

# The test builds treat every warning as an error; `make run` keeps the
# build directory's setting (off until the tests have configured it).
build: deps
	cmake -S . -B build $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j $(JOBS)

test: deps test-normal test-asan test-fuzz

test-normal: deps
	cmake -S . -B build $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVA_WERROR=ON
	cmake --build build -j $(JOBS)
	cd build && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B build-asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DZORVA_SANITIZE=ON \
	  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DZORVA_WERROR=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ctest --output-on-failure -j $(JOBS)

test-fuzz: deps
	cmake -S . -B build-fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVA_FUZZ=ON \
	  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DZORVA_WERROR=ON
	cmake --build build-fuzz -j $(JOBS)
	bash scripts/run-fuzz build-fuzz/bin $(FUZZ_RUNS)

bench: deps
	cmake -S . -B build-bench $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DZORVA_BENCH=ON -DZORVA_TESTS=OFF
	cmake --build build-bench -j $(JOBS)
	bash scripts/run-bench build-bench/bin

run: build
	bash scripts/run-demo build/bin

clean:
	rm -rf build build-asan build-fuzz build-bench
