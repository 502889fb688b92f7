# The two commands of the README: `make run` and `make test`.
.PHONY: all deps configure build run test clean

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
