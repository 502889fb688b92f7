# The two commands of the README: `make run` and `make test`.
.PHONY: all deps configure build run test test-asan fuzz lint check bench clean install install-check mutate

all: build

deps:
	@tools/install-deps.sh

configure: deps
	cmake --preset default

build: configure
	cmake --build --preset default

run: build
	./build/trazzo

test: build
	ctest --preset default

# The whole suite again, built with AddressSanitizer and UndefinedBehavior-
# Sanitizer (build-asan/); the first error stops the test that made it.
test-asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

# libFuzzer targets (clang) for the score file and the tile sheet, each run
# for FUZZ_SECONDS (30) from the seeds in fuzz/corpus/.
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	tools/run-fuzzers.sh

# clang-tidy, cppcheck and clang-format over our own sources.
lint: configure
	tools/lint.sh

# Everything CI runs.
check: test test-asan fuzz lint install-check

# Installs into PREFIX (default /usr/local; as root, or with sudo for a
# system prefix): the program in lib/trazzo, the command in bin, the menu
# entry, icons, AppStream file and manual page under share.
PREFIX ?= /usr/local
install: build
	cmake --install build --prefix "$(PREFIX)"

# An install into a throw-away prefix, validated and started under Xvfb.
install-check: build
	tools/check-install.sh

clean:
	rm -rf build build-release build-asan build-fuzz build-mutate

# Mutation check (slow, not part of check): each fault of tools/mutants.txt
# planted in a copy of the tree in build-mutate/, rebuilt and tested alone.
# MUTATE_ARGS passes options, e.g. MUTATE_ARGS="--file engine/".
mutate: deps
	tools/mutate.py $(MUTATE_ARGS)

# Benchmarks, Release build in build-release/.
bench: deps
	cmake --preset release
	cmake --build --preset release --target trazzo bench_engine bench_window bench_startup
	./build-release/bench/bench_engine
	xvfb-run -a -s "-screen 0 1024x768x24 -br -noreset" ./build-release/bench/bench_window
	xvfb-run -a -s "-screen 0 1024x768x24 -br -noreset" ./build-release/bench/bench_startup ./build-release/trazzo
