#!/usr/bin/env bash
# Prints every page of the example book to PDF, as the print job does, and turns the first sheet
# of each into PNG for a look by eye. Usage: scripts/pdfs.sh [BUILD_DIR] [OUT_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
out=${2:-$build/pdf}
mkdir -p "$out"
book=examples/esimerkki-2026.tlk
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$build/pdf-config"
for page in chart chart-tree journal ledger income balance vat; do
  "$build/cli/kirjanpito-cli" pdf "$page" "$book" -o "$out/$page.pdf" 2>/dev/null
done
"$build/cli/kirjanpito-cli" pdf ledger "$book" --statement "1910 3000" -o "$out/tiliote.pdf" 2>/dev/null
"$build/cli/kirjanpito-cli" pdf balance "$book" --compare examples/esimerkki-2025.tlk \
  -o "$out/balance-compare.pdf" 2>/dev/null
if command -v pdftoppm >/dev/null; then
  for pdf in "$out"/*.pdf; do
    pdftoppm -r 60 -f 1 -l 1 -png "$pdf" "${pdf%.pdf}"
  done
fi
echo "PDF: $out/*.pdf"
