#!/usr/bin/env bash
# Builds the program and starts it on the bundled example book.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release --target kirjanpito kirjanpito-cli
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Ikkunaa ei voi avata: näyttöä ei ole (DISPLAY). Kirjanpidon perustiedot:"
  exec build/release/cli/kirjanpito-cli info examples/esimerkki-2026.tlk
fi
exec build/release/qt/kirjanpito --open examples/esimerkki-2026.tlk
