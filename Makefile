# Every target wraps CMake. `make demo` and `make test` are the two commands of the README.
BUILD ?= build
JOBS ?= 2
WERROR ?= OFF
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPROTFEAT_WERROR=$(WERROR)

.PHONY: all build deps test demo python bench bench-scale bench-accuracy sanitize fuzz clean

all: build

# The Debian packages the tests need: installed when run as root, else the apt-get line to run.
deps:
	bash scripts/setup-deps test

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# Builds and runs every test once under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	$(MAKE) test BUILD=build-sanitize CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=Debug -DPROTFEAT_SANITIZE=ON -DPROTFEAT_WERROR=$(WERROR)"

# The program alone (no GoogleTest needed), then the workflow on the bundled sample into demo/.
demo:
	bash scripts/setup-deps demo
	cmake -S . -B build-demo -DCMAKE_BUILD_TYPE=Release -DPROTFEAT_TESTS=OFF
	cmake --build build-demo -j $(JOBS) --target protfeat
	bash data/demo.sh build-demo/protfeat

# The Python package alone, for use: PYTHONPATH=build-python/python /usr/bin/python3 (make test
# builds it too, into build/python).
python:
	bash scripts/setup-deps python
	cmake -S . -B build-python -DCMAKE_BUILD_TYPE=Release -DPROTFEAT_TESTS=OFF
	cmake --build build-python -j $(JOBS) --target protfeat_python
	@echo "import it with: PYTHONPATH=build-python/python /usr/bin/python3 -c 'import protfeat'"

bench:
	bash scripts/setup-deps bench
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DPROTFEAT_BENCH=ON -DPROTFEAT_TESTS=OFF
	cmake --build build-bench -j $(JOBS)
	bash bench/run_all.sh build-bench

# Large synthetic sets (100,000 and 1,000,000 sequences): each workflow step timed, the table
# written into docs/PERFORMANCE.md. Takes both cores and several GB for some minutes.
bench-scale:
	bash scripts/setup-deps bench
	bash bench/scale.sh build-bench

# Classifiers trained on each feature table against BLAST and MMseqs2 nearest neighbours, on
# Pfam seed alignments from Debian packages and the sample, split by homology clusters and at
# random: writes docs/ACCURACY.md and docs/accuracy.png (about a minute).
bench-accuracy:
	bash scripts/setup-deps accuracy
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DPROTFEAT_BENCH=ON -DPROTFEAT_TESTS=OFF
	cmake --build build-bench -j $(JOBS) --target protfeat
	/usr/bin/python3 bench/accuracy/run.py build-bench

fuzz:
	CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPROTFEAT_FUZZ=ON -DPROTFEAT_TESTS=OFF
	cmake --build build-fuzz -j $(JOBS)

clean:
	rm -rf build build-sanitize build-bench build-fuzz build-demo build-python build-pip demo
