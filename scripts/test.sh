#!/usr/bin/env bash
# Installs what is missing, checks the shell scripts, builds everything with warnings as errors
# and runs every test: the full program with unit, ui, e2e and system tests (g++), then the
# engine's unit tests and the file-parser fuzzers under AddressSanitizer and
# UndefinedBehaviorSanitizer (clang).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh
shellcheck scripts/*.sh .ci/run tests/scripts/*.sh tests/e2e/*.sh tests/system/*.sh resources/*.sh \
  bench/idle/*.sh packaging/vigiax.in debian/vigiax.postinst debian/vigiax.prerm debian/vigiax.postrm

scripts/build.sh build-ci -DVGX_WERROR=ON
CC=clang CXX=clang++ scripts/build.sh build-ci-asan -DVGX_WERROR=ON -DVGX_BUILD_UI=OFF \
  -DVGX_SANITIZE=ON -DVGX_FUZZ=ON

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-ci-asan --output-on-failure -L 'unit|fuzz'
ctest --test-dir build-ci --output-on-failure
