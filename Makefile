# The two commands of the README: `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 30
JOBS       ?= $(shell nproc)
CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache

.PHONY: setup build run test asan-test bench fuzz install clean

setup:
	@./scripts/setup.sh

$(BUILD)/build.ninja: | setup
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/brindleworks

test: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

asan-test: setup
	# Line tables are enough for the sanitizers' reports and keep the build small.
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DBW_SANITIZE=ON -DCMAKE_CXX_FLAGS_DEBUG=-g1
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	# Tool windows live for the whole process by design, so leak reports at
	# exit are noise; every other sanitizer finding fails the run.
	QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0:detect_stack_use_after_return=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

bench: setup
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)
	@for b in $$(find $(BUILD)/bench -maxdepth 2 -type f -executable -name "bench_*"); do echo "== $$b"; $$b || exit 1; done

fuzz: setup
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBW_FUZZ=ON -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	@for f in $$(find $(FUZZ_BUILD)/fuzz -maxdepth 1 -type f -executable -name "fuzz_*"); do \
	  name=$$(basename $$f); corpus=fuzz/corpus/$${name#fuzz_}; mkdir -p $$corpus $(FUZZ_BUILD)/fuzz-out/$$name; \
	  echo "== $$name ($(FUZZ_SECONDS) s)"; \
	  $$f -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=$(FUZZ_BUILD)/fuzz-out/$$name/ $(FUZZ_BUILD)/fuzz-out/$$name $$corpus || exit 1; \
	done

install: build
	cmake --install $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
