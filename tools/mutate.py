#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Trazzo developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Mutation check: plants one realistic fault at a time in a private copy of
the tree, rebuilds it incrementally and runs the tests. A fault the tests
notice is caught; one they let through is missed.

The faults are listed in tools/mutants.txt, one block per fault:

    id: engine-bonus-floor
    file: engine/game.cpp
    old: std::max(s.Bonus - 1, MinBonus)
    new: std::max(s.Bonus - 1, 0)
    occurrence: 1        (optional: which match to change, counted from 1)

`<nl>` in old/new stands for a line break. A fault whose old text is no
longer in its file is STALE: the list needs fixing, it is not counted as
caught. A fault that does not compile is reported as such, not as caught.

Usage: tools/mutate.py [--only ID,ID] [--file PATTERN] [--list FILE]
"""

import argparse
import fnmatch
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.path.join(ROOT, "build-mutate")
SRC = os.path.join(WORK, "src")


def parse_list(path):
    mutants, cur = [], {}
    with open(path, encoding="utf-8") as f:
        for lineno, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if line.startswith("#"):
                continue
            if not line.strip():
                if cur:
                    mutants.append(cur)
                    cur = {}
                continue
            key, sep, value = line.partition(":")
            if not sep or key not in ("id", "file", "old", "new", "occurrence", "why"):
                sys.exit(f"{path}:{lineno}: cannot read '{line}'")
            cur[key] = value[1:] if value.startswith(" ") else value
            cur.setdefault("line", lineno)
    if cur:
        mutants.append(cur)
    seen = set()
    for m in mutants:
        for key in ("id", "file", "old", "new"):
            if key not in m:
                sys.exit(f"{path}:{m['line']}: mutant without '{key}'")
        if m["id"] in seen:
            sys.exit(f"{path}:{m['line']}: id '{m['id']}' used twice")
        seen.add(m["id"])
        m["old"] = m["old"].replace("<nl>", "\n")
        m["new"] = m["new"].replace("<nl>", "\n")
        m["occurrence"] = int(m.get("occurrence", "1"))
    return mutants


def tracked_files():
    out = subprocess.run(["git", "ls-files", "--cached", "--others", "--exclude-standard", "-z"],
                         cwd=ROOT, check=True, capture_output=True).stdout
    return [p for p in out.decode().split("\0") if p and os.path.isfile(os.path.join(ROOT, p))]


def sync_tree():
    """Brings the private copy up to date, touching only files that differ so
    that the build there stays incremental."""
    for rel in tracked_files():
        src, dst = os.path.join(ROOT, rel), os.path.join(SRC, rel)
        with open(src, "rb") as f:
            data = f.read()
        if os.path.exists(dst):
            with open(dst, "rb") as f:
                if f.read() == data:
                    continue
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        shutil.copyfile(src, dst)  # a new time stamp, so that make sees the change
        shutil.copymode(src, dst)


def run(cmd, timeout=None):
    # In a session of its own, so that a hung test binary goes down with ctest.
    # The desktop tests must run, not skip: a skipped test would let a fault
    # in the window code through unseen.
    env = dict(os.environ, TRAZZO_DESKTOP_TESTS="required")
    p = subprocess.Popen(cmd, cwd=SRC, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                         start_new_session=True, env=env)
    try:
        out, err = p.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        os.killpg(p.pid, signal.SIGKILL)
        p.communicate()
        return None
    return subprocess.CompletedProcess(cmd, p.returncode, out, err)


def build(targets=()):
    extra = ["--target", *targets] if targets else []
    r = run(["cmake", "--build", "--preset", "default", "-j2", *extra])
    return r is not None and r.returncode == 0, (r.stdout + r.stderr) if r else "timeout"


def tests_pass(per_test_timeout, regex=None):
    only = ["-R", regex] if regex else []
    # The tests' own time limit is longer than a planted fault should get:
    # the whole run is cut off after the per-test limit, and a hang counts
    # as noticed.
    r = run(["ctest", "--preset", "default", "--stop-on-failure", "--timeout", str(per_test_timeout), *only],
            timeout=per_test_timeout)
    if r is None:
        return False, "ctest timed out", ""
    failed = [l.split(":", 1)[-1].strip() for l in r.stdout.splitlines() if re.search(r"\*\*\*\w", l)]
    return r.returncode == 0, "; ".join(failed[:2]), r.stdout


def find_nth(text, old, n):
    at = -1
    for _ in range(n):
        at = text.find(old, at + 1)
        if at < 0:
            return -1
    return at


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--list", default=os.path.join(ROOT, "tools", "mutants.txt"))
    ap.add_argument("--only", help="comma-separated mutant ids")
    ap.add_argument("--file", help="only mutants of files matching this pattern (fnmatch)")
    ap.add_argument("--timeout", type=int, default=120, help="seconds per test")
    ap.add_argument("--tests", help="run only the tests matching this regular expression (and build only "
                    "them): quicker, but a fault only another test notices then counts as missed")
    ap.add_argument("--check", action="store_true", help="only look for each fault's text, build nothing")
    args = ap.parse_args()

    mutants = parse_list(args.list)
    if args.only:
        wanted = args.only.split(",")
        mutants = sorted((m for m in mutants if m["id"] in wanted), key=lambda m: wanted.index(m["id"]))
    if args.file:
        mutants = [m for m in mutants if fnmatch.fnmatch(m["file"], args.file) or args.file in m["file"]]
    if not mutants:
        sys.exit("no mutants selected")
    if args.check:
        stale = []
        for m in mutants:
            with open(os.path.join(ROOT, m["file"]), encoding="utf-8") as f:
                if find_nth(f.read(), m["old"], m["occurrence"]) < 0:
                    stale.append(m["id"])
                    print(f"STALE    {m['id']}: text not found in {m['file']}")
        print(f"{len(mutants)} mutants, {len(stale)} stale")
        return 1 if stale else 0

    os.makedirs(SRC, exist_ok=True)
    sync_tree()
    if not os.path.exists(os.path.join(SRC, "build", "CMakeCache.txt")):
        r = run(["cmake", "--preset", "default"])
        if r.returncode != 0:
            sys.exit("configure failed:\n" + r.stdout + r.stderr)
    targets = ()
    if args.tests:
        listed = json.loads(run(["ctest", "--preset", "default", "--show-only=json-v1", "-R", args.tests]).stdout)
        tests = listed.get("tests", [])
        if not tests:
            sys.exit(f"no test matches {args.tests}")
        print("tests run: " + " ".join(t["name"] for t in tests), flush=True)
        # What each test runs: a test program, or the game itself (a desktop
        # script, or a test under another name such as tst_windows_2x); any
        # argument named after a target of the build is built.
        help_text = run(["cmake", "--build", "build", "--target", "help"]).stdout
        known = set(re.findall(r"^\.\.\. (\S+)", help_text, re.M))
        targets = list(dict.fromkeys(os.path.basename(a) for t in tests for a in t.get("command", [])
                                     if os.path.basename(a) in known))
        if not targets:
            sys.exit(f"the tests matching {args.tests} run nothing this build makes")
        print("built: " + " ".join(targets), flush=True)
    ok, log = build(targets)
    if not ok:
        sys.exit("the unchanged tree does not build:\n" + log[-3000:])
    ok, why, out = tests_pass(args.timeout, args.tests)
    if not ok:
        sys.exit(out[-3000:] + "\nthe unchanged tree fails its tests: " + why)

    caught, missed, stale, broken = [], [], [], []
    for m in mutants:
        path = os.path.join(SRC, m["file"])
        start = time.time()
        try:
            with open(path, encoding="utf-8") as f:
                original = f.read()
        except FileNotFoundError:
            original = None
        at = -1 if original is None else find_nth(original, m["old"], m["occurrence"])
        if at < 0:
            stale.append(m)
            print(f"STALE    {m['id']}: text not found in {m['file']}", flush=True)
            continue
        mutated = original[:at] + m["new"] + original[at + len(m["old"]):]
        try:
            with open(path, "w", encoding="utf-8") as f:
                f.write(mutated)
            built, _ = build(targets)
            if not built:
                broken.append(m)
                verdict, why = "NOBUILD ", "does not compile"
            else:
                passed, why, _ = tests_pass(args.timeout, args.tests)
                if passed:
                    missed.append(m)
                    verdict, why = "MISSED  ", ""
                else:
                    caught.append(m)
                    verdict = "caught  "
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)
        print(f"{verdict} {m['id']} ({m['file']}, {time.time() - start:.0f} s) {why}".rstrip(), flush=True)

    # Leave the copy's build matching the unchanged tree.
    build(targets)
    if missed:
        print("missed: " + ", ".join(m["id"] for m in missed))
    if broken:
        print("not compiling: " + ", ".join(m["id"] for m in broken))
    counted = len(caught) + len(missed)
    share = 100.0 * len(caught) / counted if counted else 0.0
    print(f"mutants: {len(caught)} caught, {len(missed)} missed, {len(stale)} stale, "
          f"{len(broken)} not compiling ({share:.1f} %)")
    return 0 if not missed and not stale and not broken else 1


if __name__ == "__main__":
    sys.exit(main())
