#!/bin/sh
# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The hardening checks: every test again under AddressSanitizer and
# UndefinedBehaviorSanitizer, a bounded fuzz run over the card logic, and
# static analysis (clang-format, clang-tidy, clazy, cppcheck), and the
# licence of every file (reuse lint). Fails on any finding.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
tools/setup.sh clang libclang-rt-14-dev clang-tidy clang-format clazy cppcheck reuse
fuzz_seconds=${FUZZ_SECONDS:-60}

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" >/dev/null
cmake --build build-asan --parallel 2
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
LSAN_OPTIONS=suppressions="$root/tests/lsan.supp":print_suppressions=0 \
QT_QPA_PLATFORM=offscreen ctest --test-dir build-asan --output-on-failure --timeout 600 --label-exclude display

echo "== Fuzzing the card logic for $fuzz_seconds s"
CXX=clang++ cmake -S . -B build-fuzz -DPERFORON_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined" >/dev/null
cmake --build build-fuzz --parallel 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build-fuzz/fuzz_card -max_total_time="$fuzz_seconds" -print_final_stats=1 \
    -artifact_prefix="$root/build-fuzz/" "$work" tests/fuzz_corpus 2>&1 | grep -E '^#[0-9]+[[:space:]]+DONE|stat::|ERROR|SUMMARY' || true
# libFuzzer leaves a crash-, leak- or timeout- file behind for each finding.
if ls build-fuzz/crash-* build-fuzz/leak-* build-fuzz/timeout-* build-fuzz/oom-* >/dev/null 2>&1; then
    echo "The fuzzer found an input that breaks the card logic: see build-fuzz/"
    exit 1
fi

echo "== Static analysis"
tools/build.sh >/dev/null
sources=$(git ls-files 'card/*.cpp' 'card/*.h' 'ui/*.cpp' 'ui/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'web/*.cpp')
clang-format --dry-run --Werror $sources
# Every unit this build compiles (the fuzz target and the Windows suite's
# sources build elsewhere).
units=$(for unit in $(git ls-files 'card/*.cpp' 'ui/*.cpp' 'tests/*.cpp' 'bench/*.cpp'); do
    grep -q "\"file\": \"$root/$unit\"" build/compile_commands.json && echo "$unit"
done)
run-clang-tidy -p build -quiet $units >build/clang-tidy.log 2>&1 || { grep -E 'warning:|error:' build/clang-tidy.log; exit 1; }
for unit in $units; do
    clazy-standalone -p build --checks=level0,level1,level2,no-qstring-allocations,no-non-pod-global-static,no-ctor-missing-parent-argument \
        "$unit" 2>&1 | grep -E 'warning:|error:' || true
done >build/clazy.log
if [ -s build/clazy.log ]; then sort -u build/clazy.log; exit 1; fi
cppcheck --enable=warning,performance,portability --std=c++20 --library=qt --error-exitcode=1 \
    --inline-suppr --quiet -I card -I ui -I tests card ui tests
echo "== Licence and copyright of every file"
reuse lint --quiet || { reuse lint | sed -n '/^# /,$p'; exit 1; }
echo "All checks passed."
