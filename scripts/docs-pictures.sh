#!/usr/bin/env bash
# Remakes the README's pictures: draws the gallery's ring and Items areas into
# a temporary folder and copies the ring at rest and the settings window's
# Items tab (light) to docs/ring.png and docs/settings.png.
set -euo pipefail
cd "$(dirname "$0")/.."
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
if ! bash scripts/gallery.sh "$folder" panels items >"$folder/log" 2>&1; then
    cat "$folder/log" >&2
    exit 1
fi
cp "$folder/ring-light.png" docs/ring.png
cp "$folder/items-page-light.png" docs/settings.png
echo "Wrote docs/ring.png and docs/settings.png"
