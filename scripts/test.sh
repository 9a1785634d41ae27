#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit tests headless,
# end-to-end tests each in an X server of their own). With CI set, the headless
# tests run in a build under AddressSanitizer and UBSan instead, which keeps
# the whole run short on a small machine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --test
tests=all
[ -n "${CI:-}" ] && tests=e2e
cmake --preset default -DVIMA_TESTS=$tests
cmake --build --preset default
ctest --preset default "$@"
if [ -n "${CI:-}" ]; then
  cmake --preset asan
  cmake --build --preset asan
  ctest --preset asan "$@"
fi
