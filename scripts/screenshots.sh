#!/usr/bin/env bash
# Renders every statement page of the example book to PNG (offscreen), for a look by eye.
# Usage: scripts/screenshots.sh [BUILD_DIR] [OUT_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
out=${2:-$build/screenshots}
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$build/screenshot-config" \
  "$build/qt/kirjanpito" --open examples/esimerkki-2026.tlk --screenshots "$out" 2>/dev/null
echo "Kuvat: $out/sivu-0.png ... sivu-5.png, $out/tosite.png, $out/tili.png, $out/valikot.png, $out/ohje.png"
