# SPDX-FileCopyrightText: 2026 The Trazzo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The two commands of the README: `make run` and `make test`.
.PHONY: all deps deps-test deps-deb deps-check deps-bench configure build run test test-asan fuzz lint check bench clean install install-check wayland-check deb deb-check desktop-check mutate licence-check fresh-check coverage

all: build

# The Debian packages each task needs, in tiers: `make run` installs only
# what building and playing need (see tools/install-deps.sh).
deps:
	@tools/install-deps.sh run
deps-test:
	@tools/install-deps.sh test
deps-deb:
	@tools/install-deps.sh deb
deps-check:
	@tools/install-deps.sh check
deps-bench:
	@tools/install-deps.sh bench

configure: deps
	cmake --preset default

build: configure
	cmake --build --preset default

run: build
	./build/trazzo

# The test tier is installed, so the desktop tests must run, not skip.
test: deps-test build
	TRAZZO_DESKTOP_TESTS=required ctest --preset default

# The whole suite again, built with AddressSanitizer and UndefinedBehavior-
# Sanitizer (build-asan/); the first error stops the test that made it.
test-asan: deps-test
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

# libFuzzer targets (clang) for the score file and the tile sheet, each run
# for FUZZ_SECONDS (30) from the seeds in fuzz/corpus/.
fuzz: deps-check
	cmake --preset fuzz
	cmake --build --preset fuzz
	tools/run-fuzzers.sh

# clang-tidy, cppcheck and clang-format over our own sources.
lint: deps-check configure
	tools/lint.sh

# The real game under Xvfb with the openbox and metacity window managers, played with real
# key presses and clicks (xdotool) and read back from screenshots.
desktop-check: deps-test build
	tests/desktop/smoke.sh build/trazzo
	SMOKE_WM=metacity tests/desktop/smoke.sh build/trazzo

# Everything CI runs.
check: deps-check test test-asan fuzz lint install-check wayland-check deb-check desktop-check

# Installs into PREFIX (default /usr/local; as root, or with sudo for a
# system prefix): the program in lib/trazzo, the command in bin, the menu
# entry, icons, AppStream file and manual page under share.
PREFIX ?= /usr/local
install: build
	@# The manual page names the folders it is installed to.
	cmake build -DCMAKE_INSTALL_PREFIX="$(PREFIX)" >/dev/null
	cmake --install build --prefix "$(PREFIX)"

# An install into a throw-away prefix, validated and started under Xvfb.
install-check: deps-test build
	tools/check-install.sh

# The game started natively on a headless Weston and a headless sway: its
# window shows the title screen with a title bar (Qt's on Weston, sway's on
# sway), and on sway it has not loaded the OpenGL stack.
wayland-check: deps-test build
	tools/check-wayland.sh build/trazzo

# The Debian package, built by dpkg-buildpackage into build-deb/.
deb: deps-deb
	tools/build-deb.sh

# The packages as a maintainer and a player meet them: licence lines,
# lintian at --pedantic on the source and binary packages, the manual page
# and AppStream file, the autopkgtest, then installed with apt, started
# under Xvfb and purged again (as root, or with sudo).
deb-check: deps-test deb
	tools/check-deb.sh

# Names the files that lack their SPDX lines, then runs reuse lint.
licence-check: deps-deb
	tools/check-licences.sh

# The README's first command in a fresh Debian 12 minbase system with git
# (debootstrap; as root).
fresh-check: deps-deb
	tools/check-fresh.sh

clean:
	rm -rf build build-release build-asan build-fuzz build-deb build-mutate build-cov

# How much of the program (not the tests, tools or benchmarks) the suite
# runs: lines and branches, by gcovr, in a build with coverage counters
# (build-cov/). Branches the compiler adds for exceptions are not counted.
# The desktop tests must run, not skip: the game they start is this build's
# and adds its counters (main() and the real window manager's answers).
coverage: deps-test
	cmake --preset coverage
	cmake --build --preset coverage
	find build-cov -name '*.gcda' -delete
	TRAZZO_DESKTOP_TESTS=required ctest --preset coverage
	gcovr --root . --filter '(engine|display|scores|shell|widgets)/' --exclude-throw-branches \
		--exclude-unreachable-branches --print-summary build-cov

# Mutation check (slow, not part of check): each fault of tools/mutants.txt
# planted in a copy of the tree in build-mutate/, rebuilt and tested alone.
# MUTATE_ARGS passes options, e.g. MUTATE_ARGS="--file engine/".
mutate: deps-test
	tools/mutate.py $(MUTATE_ARGS)

# Benchmarks, Release build in build-release/.
bench: deps-bench deps-test
	cmake --preset release
	cmake --build --preset release --target trazzo trazzo_sound bench_engine bench_window bench_startup bare_window bench_sound
	./build-release/bench/bench_engine
	xvfb-run -a -s "-screen 0 1024x768x24 -br -noreset" ./build-release/bench/bench_window
	xvfb-run -a -s "-screen 0 1024x768x24 -br -noreset" ./build-release/bench/bench_startup $(STARTUP)
	XDG_CURRENT_DESKTOP=GNOME xvfb-run -a -s "-screen 0 1024x768x24 -br -noreset" ./build-release/bench/bench_startup $(STARTUP)
	tools/with-weston.sh ./build-release/bench/bench_startup --wayland $(STARTUP)
	tools/with-sway.sh ./build-release/bench/bench_startup --wayland $(STARTUP)
	./build-release/bench/bench_sound

# The game against the bare Qt window, started in turn.
STARTUP = ./build-release/trazzo ./build-release/bench/bare_window
