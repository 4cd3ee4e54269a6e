#!/usr/bin/env bash
# The installer under Wine, as a user's silent install would run it: Palvo.exe and its
# Start-menu entry in place and listed among the apps, the program started from that entry
# showing its window, and the silent uninstall removing everything the install put there.
# Usage: windows-installer.sh SETUP.EXE VERSION   (WINEPREFIX and an X display set)
set -euo pipefail
setup=$1
version=$2
export WINEDEBUG=-all
# Wine would copy the Start-menu entry into this machine's own menus.
export WINEDLLOVERRIDES="winemenubuilder.exe=d"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Palvo'

fail() { echo "FAIL: $*"; exit 1; }
unixPath() { winepath -u "$(wine cmd /c echo "%$1%" | tr -d '\r')"; }
registered() { wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v name="$1" '$1 == name {print $3}'; }
waitFor() { # seconds, then a command that must come true meanwhile
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do ((SECONDS < deadline)) || return 1; sleep 0.5; done
}
gone() { [[ ! -e $1 ]]; }

folder="$(unixPath LOCALAPPDATA)/Programs/Palvo"
entry="$(unixPath APPDATA)/Microsoft/Windows/Start Menu/Programs/Palvo.lnk"
# Whatever a failed run left behind goes, so that the next run starts clean.
cleanUp() { rm -rf "$folder" "$entry"; wine reg delete "$key" /f >/dev/null 2>&1 || true; }
trap cleanUp EXIT
cleanUp

# Run as downloaded, from the user's Downloads folder.
downloads="$(unixPath USERPROFILE)/Downloads"
mkdir -p "$downloads"
cp "$setup" "$downloads/"
wine "$(winepath -w "$downloads/${setup##*/}")" /S
rm "$downloads/${setup##*/}"
[[ -f $folder/Palvo.exe ]] || fail "no $folder/Palvo.exe"
[[ -f $folder/Uninstall.exe ]] || fail "no uninstaller"
[[ -f $entry ]] || fail "no Start-menu entry"
[[ $(registered DisplayName) == Palvo ]] || fail "not listed among the apps"
[[ $(registered DisplayVersion) == "$version" ]] || fail "listed as version '$(registered DisplayVersion)'"

# Started as the Start menu starts it; "Ende" has the focus, Enter ends it.
wine start /unix "$entry"
window=$(timeout 60 xdotool search --sync --name "^Palvo V$version\$" | head -n 1) || fail "the installed program shows no window"
xdotool windowfocus --sync "$window" key Return
waitFor 30 bash -c "! xdotool search --name '^Palvo V$version\$' >/dev/null" || fail "Enter on Ende did not end the program"

# The uninstaller runs from a copy of itself and returns at once: its work is waited for.
wine "$folder/Uninstall.exe" /S
waitFor 60 gone "$folder" || fail "$folder is still there: $(ls "$folder")"
gone "$entry" || fail "the Start-menu entry is still there"
! wine reg query "$key" >/dev/null 2>&1 || fail "still listed among the apps"
echo "installed, started and uninstalled: Palvo $version"
