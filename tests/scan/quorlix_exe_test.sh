#!/usr/bin/env bash
# Uses the real Quorlix.exe as a person would: types a folder, clicks Start Scan,
# reads the status bar, saves the summary through the File menu (keyboard, as X
# sees it) and the save dialog, closes the window, then checks the saved file.
# Usage: quorlix_exe_test.sh <tree's wine launcher> <Quorlix.exe> <quorlix_driver.exe> <scratch folder>
set -euo pipefail
wine=$1 exe=$2 driver=$3 work=$4

fail() { echo "FAIL: $*" >&2; exit 1; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# The program keeps its settings, and the save dialog the folder, in the registry: the
# run starts without the program's key and leaves behind none of what it made.
product='HKCU\Software\Brevane'
shell_keys=('HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\ComDlg32'
            'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Advanced')
made_keys=("$product")
for k in "${shell_keys[@]}"; do
  "$wine" reg query "$k" >/dev/null 2>&1 || made_keys+=("$k")
done
remove_made_keys() {
  for k in "${made_keys[@]}"; do "$wine" reg delete "$k" /f >/dev/null 2>&1 || true; done
}
remove_made_keys

rm -rf "$work"
mkdir -p "$work/tree/sub"
printf '%1600s' '' > "$work/tree/a.txt"
printf '%100s' '' > "$work/tree/sub/b.txt"
: > "$work/tree/c.log"
: > "$work/tree/README"

"$wine" "$exe" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; remove_made_keys' EXIT
"$wine" "$driver" wait || fail "Quorlix did not show its window"

mapfile -t panels < <("$wine" "$driver" scan "$(winpath "$work/tree")" | tr -d '\r')
[ "${panels[0]:-}" = "File Count: 3" ] || fail "panel 0: '${panels[0]:-}'"
[ "${panels[1]:-}" = "Total Size: 2 KB" ] || fail "panel 1: '${panels[1]:-}'"
[ "${panels[2]:-}" = "Folder: $(winpath "$work/tree")" ] || fail "panel 2: '${panels[2]:-}'"

# File > Save to File by keyboard: F10 opens the menu bar, Down opens File on its
# first item, Down moves past the separator to Save to File.
xid=$(xdotool search --sync --limit 1 --name '^Quorlix Zeva - Version 1\.1$')
xdotool windowfocus --sync "$xid"
xdotool key --delay 150 F10 Down Down Return
caption=$("$wine" "$driver" save "$(winpath "$work/out.csv")" csv | tr -d '\r')
[ "$caption" = " Save to File" ] || fail "save dialog caption: '$caption'"

out="$work/out.csv"
for _ in $(seq 100); do [ -s "$out" ] && break; sleep 0.1; done
[ -s "$out" ] || fail "no file saved"
sleep 0.5
expected=$(printf '%s\r\n' \
  'Extension,File Type,Count,Total Size (KB),Max Size (KB),Min Size (KB),% of Total' \
  '"log","TYPE",1,0.0,0.0,0.0,0.0' \
  '"txt","TYPE",2,1,1,0.1,100.0')
# Type names come from Wine's shell; everything else is compared byte for byte.
actual=$(sed -E 's/^("[^"]*"),"[^"]*"/\1,"TYPE"/' "$out")
[ "$actual" = "$expected" ] || fail "saved file:
$(cat -A "$out")"

"$wine" "$driver" close
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "Quorlix did not end after its window closed"
trap - EXIT
remove_made_keys
rm -rf "$work"
echo "ok: scanned, saved and closed"
