#!/usr/bin/env bash
# Builds the gallery and writes its pictures (light and dark) to
# build/default/gallery-pictures, or to the folder given first. Further
# arguments name the areas to draw ("onboarding" ...); none draws them all.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/default/gallery-pictures}
shift || true
cmake --preset default >/dev/null
cmake --build --preset default --target gallery
QT_QPA_PLATFORM=offscreen build/default/gallery/gallery "$out" "$@"
echo "Pictures in $out"
