#!/usr/bin/env bash
# The installer under Wine, as a user's silent install would run it: Palvo.exe, its Start-menu
# and "Senden an" entries, Explorer's "Mit Palvo zerlegen" and "Öffnen mit" in place and the
# program listed among the apps; the program started from the Start-menu entry showing its
# window, and started by the Explorer verb's command offering the file; neither an install nor
# an uninstall going on over a running Palvo.exe; and the silent uninstall removing everything
# the install put there.
# Usage: windows-installer.sh SETUP.EXE VERSION WINDOWS_SHELL.EXE   (WINEPREFIX and an X display set)
set -euo pipefail
setup=$1
version=$2
shell=$3
export WINEDEBUG=-all
# Wine would copy the Start-menu entry into this machine's own menus.
export WINEDLLOVERRIDES="winemenubuilder.exe=d"
uninstallKey='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Palvo'
verbKey='HKCU\Software\Classes\*\shell\Palvo'
applicationKey='HKCU\Software\Classes\Applications\Palvo.exe'

fail() { echo "FAIL: $*"; exit 1; }
unixPath() { winepath -u "$(wine cmd /c echo "%$1%" | tr -d '\r')"; }
registered() { # key [value name; without one, the key's default value]
    local which=(/ve)
    [[ $# -lt 2 ]] || which=(/v "$2")
    wine reg query "$1" "${which[@]}" 2>/dev/null | tr -d '\r' | awk -F '    ' '$3 ~ /^REG_/ {print $4}'
}
waitFor() { # seconds, then a command that must come true meanwhile
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do ((SECONDS < deadline)) || return 1; sleep 0.5; done
}
gone() { [[ ! -e $1 ]]; }
jobEnded() { [[ -z $(find "$probe" -name '.palvo-*') ]]; }
# The window whose name matches, once it is there; a window that goes while xdotool looks at it
# (an X error) only makes it look again.
windowNamed() { # seconds, name pattern
    local deadline=$((SECONDS + $1)) found
    until found=$(xdotool search --name "$2" 2>/dev/null | head -n 1) && [[ -n $found ]]; do
        ((SECONDS < deadline)) || return 1
        sleep 0.5
    done
    echo "$found"
}
windowGone() { [[ -z $(xdotool search --name "^Palvo V$version\$" 2>/dev/null) ]]; }

folder="$(unixPath LOCALAPPDATA)/Programs/Palvo"
folderWin=$(winepath -w "$folder")
programWin="$folderWin\\Palvo.exe"
entry="$(unixPath APPDATA)/Microsoft/Windows/Start Menu/Programs/Palvo.lnk"
sendTo="$(unixPath APPDATA)/Microsoft/Windows/SendTo/Palvo.lnk"
# Run as downloaded, from the user's Downloads folder.
downloads="$(unixPath USERPROFILE)/Downloads"
probe=
holder=
# Whatever a failed run left behind goes, so that the next run starts clean.
cleanUp() {
    [[ -z $holder ]] || kill "$holder" 2>/dev/null || true
    rm -rf "$folder" "$entry" "$sendTo" ${probe:+"$probe"} "$downloads/${setup##*/}"
    for key in "$uninstallKey" "$verbKey" "$applicationKey"; do wine reg delete "$key" /f >/dev/null 2>&1 || true; done
}
trap cleanUp EXIT
cleanUp

# What the install puts there: key|value name (none: the key's default value)|value.
command="\"$programWin\" \"%1\""
values=(
    "$uninstallKey|DisplayName|Palvo"
    "$uninstallKey|DisplayVersion|$version"
    "$verbKey||Mit Palvo zerlegen"
    "$verbKey|Icon|$programWin,0"
    "$verbKey\\command||$command"
    "$applicationKey|FriendlyAppName|Palvo"
    "$applicationKey\\shell\\open\\command||$command"
)
checkInstalled() {
    local value key name expected
    [[ -f $folder/Palvo.exe ]] || fail "no $folder/Palvo.exe"
    [[ -f $folder/Uninstall.exe ]] || fail "no uninstaller"
    [[ -f $entry ]] || fail "no Start-menu entry"
    # The shortcut holds its target's path as Windows writes it.
    [[ -f $sendTo ]] && strings -a "$sendTo" | grep -qxF "$programWin" || fail "no \"Senden an\" entry for $programWin"
    for value in "${values[@]}"; do
        IFS='|' read -r key name expected <<<"$value"
        [[ $(registered "$key" ${name:+"$name"}) == "$expected" ]] ||
            fail "$key ${name:-(default)} is '$(registered "$key" ${name:+"$name"})', not '$expected'"
    done
}

mkdir -p "$downloads"
cp "$setup" "$downloads/"
setupWin=$(winepath -w "$downloads/${setup##*/}")
wine "$setupWin" /S
checkInstalled

# Started as the Start menu starts it; "Ende" has the focus, Enter ends it.
wine start /unix "$entry"
window=$(windowNamed 60 "^Palvo V$version\$") || fail "the installed program shows no window"
xdotool windowfocus --sync "$window" key Return
waitFor 30 windowGone || fail "Enter on Ende did not end the program"

# Started as Explorer starts the verb on a file: its command with the file's path for %1. Tab
# reaches the copy button; the file dialog must offer that file, so that Enter cuts it.
# On drive C:, where the file dialog's way there is short.
probe=$(mktemp -d "$WINEPREFIX/drive_c/palvo-verb.XXXXXX")
head -c 3000000 /dev/urandom >"$probe/film daten.avi"
verb=$(registered "$verbKey\\command")
wine "$shell" run "${verb//%1/C:\\${probe##*/}\\film daten.avi}"
window=$(windowNamed 60 "^Palvo V$version\$") || fail "\"$verb\" shows no window"
xdotool windowfocus --sync "$window" key Tab Return
dialog=$(windowNamed 60 '^Datei auswählen$') || fail "no file dialog"
xdotool windowfocus --sync "$dialog" key Return
waitFor 60 test -f "$probe/film daten.bat" || fail "the file dialog did not offer the file \"$verb\" was started with"
# The job has ended once its lock (.palvo-…) has gone from beside the pieces; then the copy button
# has the focus again, and Shift+Tab reaches "Ende".
waitFor 30 jobEnded || fail "the job did not end: $(ls -A "$probe")"
xdotool windowfocus --sync "$window" key shift+Tab Return
waitFor 30 windowGone || fail "Enter on Ende did not end the program"

# A running Palvo.exe, its file held as Windows holds it: the install over it and the uninstall
# must both fail and leave everything in place. The uninstaller runs in place here, as its copy
# in the temporary folder runs it, whose exit code is the one that tells.
held="$probe/held"
wine "$shell" hold "$programWin" >"$held" 2>&1 &
holder=$!
waitFor 30 grep -qs '^held' "$held" || fail "$programWin could not be held open: $(cat "$held")"
! wine "$setupWin" /S || fail "the install over a running Palvo.exe reported success"
checkInstalled
! wine "$folder/Uninstall.exe" /S "_?=$folderWin" || fail "the uninstall of a running Palvo.exe reported success"
checkInstalled
kill "$holder"
wait "$holder" || true
holder=

# The uninstaller runs from a copy of itself and returns at once: its work is waited for.
wine "$folder/Uninstall.exe" /S
waitFor 60 gone "$folder" || fail "$folder is still there: $(ls "$folder")"
gone "$entry" || fail "the Start-menu entry is still there"
gone "$sendTo" || fail "the \"Senden an\" entry is still there"
for key in "$uninstallKey" "$verbKey" "$applicationKey"; do
    ! wine reg query "$key" >/dev/null 2>&1 || fail "$key is still there"
done
echo "installed, started by the Start menu and by Explorer's verb, kept while running, uninstalled: Palvo $version"
