#!/usr/bin/env bash
# Tries Palvo's package on a pristine Debian 12 with piuparts, Debian's own test of a package's
# life on a system: it installs the package with what it depends on (not what it recommends),
# removes it, purges it, and fails where a step fails, where the package breaks the system's files
# or leaves any behind. While the package is installed, this script checks what piuparts cannot
# see: the command of the menu entry brings up the window, with Qt's German texts, and Dolphin's
# service menu names the program the package installed.
# Usage: tests/package-test.sh build-package/palvo_<version>-1_amd64.deb   (as root)
set -euo pipefail

# What the checks inside the pristine root say, marked so that it can be found in piuparts' log.
say() {
    echo "package-test: $*"
}

# Starts the program as the menu entry says, without field codes (no file is handed to it),
# and checks that it drew its window, with Qt's own texts in German at hand (it holds Qt's
# German translations, which Qt maps into memory), and still ran once it had drawn it.
startFromMenuEntry() {
    local command palvo drawn='Drawing QRegion.* of qtwindow::Form1(' scratch
    command=$(sed -n 's/^Exec=//p' /usr/share/applications/io.github.palvo.Palvo.desktop | sed 's/ *%[a-zA-Z]//g')
    scratch=$(mktemp -d)
    mkdir "$scratch/home"
    # As a user's session starts it: none of the environment piuparts runs its checks in.
    env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME="$scratch/home" QT_QPA_PLATFORM=offscreen \
        QT_LOGGING_RULES='qt.widgets.painting=true' \
        $command >"$scratch/palvo.log" 2>&1 &
    palvo=$!
    # Until it has drawn its window or ended; a busy machine may be slow to start it.
    local deadline=$((SECONDS + 120))
    until grep -q "$drawn" "$scratch/palvo.log" || ! kill -0 $palvo 2>/dev/null || ((SECONDS >= deadline)); do
        sleep 0.1
    done
    if ! kill -0 $palvo 2>/dev/null; then
        tail -n 20 "$scratch/palvo.log"; say "\"$command\" ended at its start"; return 1
    fi
    local german=yes
    grep -q '/qtbase_de\.qm$' /proc/$palvo/maps || german=no
    kill $palvo; wait $palvo || true
    if ! grep -q "$drawn" "$scratch/palvo.log"; then
        tail -n 20 "$scratch/palvo.log"; say "\"$command\" drew no window within 2 minutes"; return 1
    fi
    rm -rf "$scratch"
    if [[ $german == no ]]; then
        say "\"$command\" came up without Qt's German texts"; return 1
    fi
    say "\"$command\" drew its window in German and still ran"
}

# Dolphin's "Mit Palvo zerlegen": the service menu is there, executable as KDE 6 wants it, and its
# command is the program the package installed.
checkServiceMenu() {
    local menu=/usr/share/kio/servicemenus/io.github.palvo.Palvo.zerlegen.desktop program
    [[ -x $menu ]] || { say "no executable service menu $menu"; return 1; }
    grep -qx 'Name\[de\]=Mit Palvo zerlegen' "$menu" || { say "$menu offers no \"Mit Palvo zerlegen\""; return 1; }
    program=$(command -v "$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$menu")") && dpkg -S "$program" | grep -q '^palvo:' ||
        { say "$menu names no program of the package"; return 1; }
    say "the service menu \"Mit Palvo zerlegen\" starts $program"
}

# piuparts runs a copy of this script under this name inside the pristine root, once the package
# is installed; a check that fails there fails piuparts.
if [[ $(basename "$0") == post_install_* ]]; then
    say "installed: $(dpkg-query -W -f='${Package} ${Version}' palvo)"
    startFromMenuEntry
    checkServiceMenu
    exit
fi

# The mirror that apt takes Debian 12 from on this machine, with its components ("URL main ..."):
# the pristine root and piuparts fetch from it alone.
aptMirror() {
    local file found
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        found=$(awk 'BEGIN { RS = ""; FS = "\n" }
            {
                uri = ""; components = ""; deb = 0; bookworm = 0
                for (i = 1; i <= NF; i++) {
                    if ($i ~ /^URIs:/) { split($i, word, " "); uri = word[2] }
                    if ($i ~ /^Components:/) components = substr($i, 12)
                    if ($i ~ /^Types:/ && (" " $i " ") ~ / deb /) deb = 1
                    if ($i ~ /^Suites:/ && (" " $i " ") ~ / bookworm /) bookworm = 1
                }
                if (deb && bookworm && uri != "") { print uri components; exit }
            }' "$file")
        [ -z "$found" ] || { echo "$found"; return; }
    done
    sed -n 's/^deb \(\[[^]]*\] \)\{0,1\}\([^ ]*\) bookworm \(.*\)/\2 \3/p' \
        /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | sed -n 1p || true
}

[ -f "${1:-}" ] || { echo "Usage: tests/package-test.sh build-package/palvo_<version>-1_amd64.deb"; exit 1; }
deb=$(realpath "$1")
cache=/var/tmp/palvo-package-test
base=$cache/bookworm-minbase.tgz
mirror=$(aptMirror)
[ -n "$mirror" ] || { echo "apt has no source of Debian 12 (bookworm) in /etc/apt/sources.list*"; exit 1; }
read -r mirrorUrl components <<<"$mirror"
mkdir -p "$cache"

# The pristine root is made once, by debootstrap from the machine's own mirror, and kept as a
# tarball that piuparts unpacks afresh for each run. The uncompressed one that this test kept
# before is taken where it is there.
if [ ! -f "$base" ]; then
    part=$(mktemp "$base.XXXXXX")
    if [ -f "$cache/bookworm-minbase.tar" ]; then
        gzip -c "$cache/bookworm-minbase.tar" >"$part"
    else
        echo "making a pristine Debian 12 root (once, a few minutes)"
        root=$(mktemp -d "$cache/root.XXXXXX")
        chmod 755 "$root"
        debootstrap --variant=minbase --components="${components// /,}" bookworm "$root" "$mirrorUrl" \
            >"$cache/debootstrap.log" 2>&1 || { tail -n 5 "$cache/debootstrap.log"; rm -rf --one-file-system "$root" "$part"; exit 1; }
        tar -C "$root" -czf "$part" .
        rm -rf --one-file-system "$root"
    fi
    chmod 644 "$part"
    mv "$part" "$base"
fi

# The check of the installed package, in the folder of scripts that piuparts copies into the root.
hooks=$(mktemp -d)
trap 'rm -rf "$hooks"' EXIT
install -m 755 "$0" "$hooks/post_install_palvo"

log=$cache/piuparts.log
echo "piuparts: installing, removing and purging $(basename "$deb") on Debian 12 from $mirror"
# Palvo is no package of Debian's archive: there is no earlier version of it to upgrade from.
if ! piuparts --distribution=bookworm --mirror="$mirror" --basetgz="$base" --tmpdir="$cache" \
        --scriptsdir="$hooks" --no-upgrade-test "$deb" >"$log" 2>&1; then
    # Its errors, each with the lines that belong to it (a failed command's output, the files).
    awk '/^[0-9]+m[0-9.]+s [A-Z]+: / { error = / ERROR: / } error' "$log"
    echo "piuparts failed on $(basename "$deb"): its whole log is $log"
    exit 1
fi
sed -n 's/.*package-test: //p' "$log"
grep -E 'PASS:' "$log" | sed 's/^[0-9ms.]* *//'
echo "package test: PASS"
