#!/usr/bin/env bash
# Palvo.exe as a person uses it, under Wine in German on an X display: the program alone in a
# folder (no DLL beside it), driven by keys only. Tab to the size field, type a size, Enter;
# type the file's path into the system's file dialog, Enter; once the pieces are there, Tab to
# "Ende" and Enter. Then Wine's cmd joins the pieces by the batch file, and the result must be
# the file, byte for byte.
# Usage: windows-end-to-end.sh PALVO.EXE   (WINEPREFIX and an X display set)
set -euo pipefail
program=$1
export WINEDEBUG=-all LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8

fail() { echo "FAIL: $*"; exit 1; }
waitFor() { # seconds, then a command that must come true meanwhile
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do ((SECONDS < deadline)) || return 1; sleep 0.2; done
}
running() { kill -0 "$palvo" 2>/dev/null; }
# The first visible window of that name. Searched anew until it is there: windows that come and
# go meanwhile make a single search fail.
findWindow() {
    local deadline=$((SECONDS + 60)) found
    until found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [[ -n $found ]]; do
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
    echo "$found"
}
focus() { waitFor 30 timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null; }

# No call of the program's own takes a path or a text in the ANSI code page: its only ...A
# imports are those of the C++ runtime linked into it (GetModuleHandleA is the thread
# library's clock, looking for kernel32's precise time).
ansi=$(x86_64-w64-mingw32-objdump -p "$program" | sed -n '/The Import Tables/,/^PE File Base Relocations/p' |
    awk '$1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ && NF == 3 && $3 ~ /A$/ {print $3}' |
    grep -vxE 'CreateEventA|CreateSemaphoreA|FormatMessageA|GetModuleHandleA|OutputDebugStringA' || true)
[[ -z $ansi ]] || fail "ANSI calls: $ansi"

# On drive C:, where the dialog's way there is short: Z:\tmp may hold countless names.
folder=$(mktemp -d "$WINEPREFIX/drive_c/palvo-probe.XXXXXX")
trap 'kill "$palvo" 2>/dev/null || true; rm -rf "$folder"' EXIT
cp "$program" "$folder/Palvo.exe"
head -c 3000000 /dev/urandom >"$folder/film daten.avi"
cp "$folder/film daten.avi" "$folder/original"

(cd "$folder" && exec wine ./Palvo.exe) &
palvo=$!
window=$(findWindow '^Palvo V') || fail "no window"
focus "$window" || fail "the window takes no focus"
# "Ende" has the focus; Tab, Tab reach the size field, whose text Tab selects.
xdotool key Tab Tab
xdotool type 1000
xdotool key Return
# Wine gives the dialog the focus; one given it from outside would not go back to the window.
findWindow '^Datei auswählen$' >/dev/null || fail "no file dialog"
xdotool type --delay 20 "C:\\${folder##*/}\\film daten.avi"
xdotool key Return

waitFor 60 test -f "$folder/film daten.bat" || fail "no batch file"
# Back from the dialog the focus is in the size field again; Tab reaches "Ende".
xdotool key Tab Return
waitFor 30 bash -c "! kill -0 $palvo 2>/dev/null" || fail "Enter on Ende did not end the program"

copyCommand=$(grep '^copy /b ' "$folder/film daten.bat")
[[ $copyCommand == $'copy /b "film daten.001" + "film daten.002" + "film daten.003" "film daten.avi.unfertig"\r' ]] ||
    fail "batch file's copy command: $copyCommand"
rm "$folder/film daten.avi"
(cd "$folder" && wine cmd /c "film daten.bat" >/dev/null)
cmp "$folder/original" "$folder/film daten.avi" || fail "the joined file differs"
echo "cut by keys and joined by cmd: $(stat -c %s "$folder/film daten.avi") bytes"
