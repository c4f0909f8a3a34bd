#!/bin/bash
# A voucher posted in the window survives SIGKILL: its recovery copy holds it, and the next start
# asks and restores it. Arguments: the helper window, kirjanpito-cli, the example book.
set -eu
helper=$1 cli=$2 example=$3
tmp=$(mktemp -d)
trap 'kill -KILL "${pid:-0}" 2>/dev/null || true; rm -rf "$tmp"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_STATE_HOME="$tmp/state" XDG_DATA_HOME="$tmp/data"
cp "$example" "$tmp/kirja.tlk"
touch -d '1 hour ago' "$tmp/kirja.tlk"
before=$("$cli" info "$tmp/kirja.tlk" | sed -n 's/^Tositteita: //p')
after=$((before + 1))

"$helper" post "$tmp/kirja.tlk" >"$tmp/out" &
pid=$!
for _ in $(seq 600); do
    grep -q "kopio kirjoitettu" "$tmp/out" && break
    kill -0 "$pid" || { echo "the window ended before its copy was written"; exit 1; }
    sleep 0.1
done
grep -q "kopio kirjoitettu" "$tmp/out" || { echo "no recovery copy within 60 s"; exit 1; }
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true

copy=$(ls "$tmp"/state/kirjanpito/palautus/kirja-*.tlk)
"$cli" info "$copy" | tee "$tmp/info"
grep -qx "Tositteita: $after" "$tmp/info"
grep -qx "$tmp/kirja.tlk" "$copy.kirja"

"$helper" restart "$tmp/kirja.tlk" | tee "$tmp/restart"
grep -q "^kysytty: Tallentamattomia muutoksia löytyi kirjasta $tmp/kirja.tlk (.* klo .*): palautetaanko?$" "$tmp/restart"
grep -qx "tositteita: $after" "$tmp/restart"
grep -qx "tallentamattomia: 1" "$tmp/restart"
echo "palautettu"
