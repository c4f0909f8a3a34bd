#!/usr/bin/env bash
# The whole-process cost of the ledger against ledger-cli's "bal" on the same vouchers: a
# generated book, its plain-text journal, then each program timed with its peak memory.
# Usage: scripts/bench-ledger.sh [VOUCHERS] [BUILD_DIR]   (needs Debian's ledger package)
set -euo pipefail
cd "$(dirname "$0")/.."
vouchers=${1:-100000}
build=${2:-build/release}
cli=$build/cli/kirjanpito-cli
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$cli" generate --vouchers "$vouchers" "$dir/book.tlk"
"$cli" export plaintext "$dir/book.tlk" -o "$dir/book.journal"
measure() { /usr/bin/time -f "%e s, %M KiB" "$@" > /dev/null 2> "$dir/time" || true; tail -1 "$dir/time"; }
echo "kirjanpito-cli export ledger: $(measure "$cli" export ledger "$dir/book.tlk" -o "$dir/ledger.csv")"
echo "ledger bal:                   $(measure ledger -f "$dir/book.journal" bal)"
