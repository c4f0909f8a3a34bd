#!/usr/bin/env bash
# hledger's balance of every account of the plain-text journal equals the balance sheet's: the
# assets as they stand, the liabilities with their sign turned.
# Usage: HledgerCheck.sh KIRJANPITO-CLI HLEDGER BOOK WORKDIR
set -euo pipefail
cli=$1 hledger=$2 book=$3 dir=$4
mkdir -p "$dir"
"$cli" export plaintext "$book" -o "$dir/book.journal"
"$hledger" -f "$dir/book.journal" bal --flat -N -E > "$dir/hledger.txt"
"$cli" export balance "$book" | iconv -f WINDOWS-1252 -t UTF-8 > "$dir/balance.txt"
awk -F'\t' '
  NR == FNR { amount = $0; sub(/^ +/, "", amount); sub(/ .*/, "", amount)
              account = $0; sub(/^ *[^ ]+ +/, "", account); split(account, w, " ")
              held[w[1]] = amount; next }
  { sub(/\r$/, "") }
  /^Vastattavaa/ { sign = -1 }
  /^ +[0-9]+ .*\t-?[0-9]+,[0-9][0-9]$/ {
      number = $1; sub(/^ +/, "", number); split(number, n, " ")
      want = $2; gsub(",", ".", want); want = (sign == -1 ? -1 : 1) * want + 0
      have = (n[1] in held) ? held[n[1]] + 0 : 0
      checked++
      if (sprintf("%.2f", have) != sprintf("%.2f", want)) { print "tili " n[1] ": hledger " have ", tase " want; bad++ }
  }
  END { print checked " tiliä verrattu"; exit bad > 0 || checked < 10 }
' "$dir/hledger.txt" "$dir/balance.txt"
