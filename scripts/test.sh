#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit tests headless,
# end-to-end tests each in an X server of their own).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --test
cmake --preset default
cmake --build --preset default
ctest --preset default "$@"
