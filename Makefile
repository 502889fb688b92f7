# The two commands of the README: `make run` and `make test`.
.PHONY: all deps configure build run test bench clean

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

clean:
	rm -rf build build-release

# Benchmarks, Release build in build-release/.
bench: deps
	cmake --preset release
	cmake --build --preset release --target trazzo bench_engine bench_window bench_startup
	./build-release/bench/bench_engine
	xvfb-run -a -s "-screen 0 1024x768x24 -br -noreset" ./build-release/bench/bench_window
	xvfb-run -a -s "-screen 0 1024x768x24 -br -noreset" ./build-release/bench/bench_startup ./build-release/trazzo
