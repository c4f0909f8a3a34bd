#!/usr/bin/env bash
# Builds the program and starts it on the bundled example book.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release --target kirjanpito-cli
exec build/release/cli/kirjanpito-cli info examples/esimerkki-2026.tlk
