#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit tests headless,
# end-to-end tests each in an X server of their own). With CI set, the headless
# tests also run in a build under AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --test
cmake --preset default
cmake --build --preset default
ctest --preset default "$@"
if [ -n "${CI:-}" ]; then
  cmake --preset asan
  cmake --build --preset asan
  ctest --preset asan "$@"
fi
