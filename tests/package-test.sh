#!/usr/bin/env bash
# Installs Palvo's package on a pristine Debian 12 as a user would, starts the program with its
# menu entry's command and removes the package again. Passes when apt brought all the program
# needs, its window came up and stayed up, and the removal left nothing of it behind.
# Usage: tests/package-test.sh build-package/palvo_<version>-1_amd64.deb   (as root)
set -euo pipefail

# Runs a command quietly, showing what it said only when it fails.
quietly() {
    "$@" >/tmp/command.log 2>&1 || { tail -n 20 /tmp/command.log; echo "failed: $*"; return 1; }
}

# Every file and folder of the system, less what apt and dpkg keep of their own work.
listFiles() {
    find / -xdev \( -path /tmp -o -path /root -o -path /var/log -o -path /var/cache \
        -o -path /var/lib/apt -o -path /var/lib/dpkg \) -prune -o -print | sort
}

# Starts the program as the menu entry says, without field codes (no file is handed to it),
# and checks that it drew its window, with Qt's own texts in German at hand (it holds Qt's
# German translations, which Qt maps into memory), and still ran once it had drawn it.
startFromMenuEntry() {
    local command palvo drawn='Drawing QRegion.* of qtwindow::Form1('
    command=$(sed -n 's/^Exec=//p' /usr/share/applications/io.github.palvo.Palvo.desktop | sed 's/ *%[a-zA-Z]//g')
    mkdir -p /tmp/home
    HOME=/tmp/home QT_QPA_PLATFORM=offscreen \
        QT_LOGGING_RULES='qt.widgets.painting=true' \
        $command >/tmp/palvo.log 2>&1 &
    palvo=$!
    # Until it has drawn its window or ended; a busy machine may be slow to start it.
    local deadline=$((SECONDS + 120))
    until grep -q "$drawn" /tmp/palvo.log || ! kill -0 $palvo 2>/dev/null || ((SECONDS >= deadline)); do
        sleep 0.1
    done
    if ! kill -0 $palvo 2>/dev/null; then
        tail -n 20 /tmp/palvo.log; echo "\"$command\" ended at its start"; return 1
    fi
    local german=yes
    grep -q '/qtbase_de\.qm$' /proc/$palvo/maps || german=no
    kill $palvo; wait $palvo || true
    if ! grep -q "$drawn" /tmp/palvo.log; then
        tail -n 20 /tmp/palvo.log; echo "\"$command\" drew no window within 2 minutes"; return 1
    fi
    if [[ $german == no ]]; then
        echo "\"$command\" came up without Qt's German texts"; return 1
    fi
    echo "\"$command\" drew its window in German and still ran"
}

# Dolphin's "Mit Palvo zerlegen": the service menu is there, executable as KDE 6 wants it, and its
# command is the program the package installed.
checkServiceMenu() {
    local menu=/usr/share/kio/servicemenus/io.github.palvo.Palvo.zerlegen.desktop program
    [[ -x $menu ]] || { echo "no executable service menu $menu"; return 1; }
    grep -qx 'Name\[de\]=Mit Palvo zerlegen' "$menu" || { echo "$menu offers no \"Mit Palvo zerlegen\""; return 1; }
    program=$(command -v "$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$menu")") && dpkg -S "$program" | grep -q '^palvo:' ||
        { echo "$menu names no program of the package"; return 1; }
    echo "the service menu \"Mit Palvo zerlegen\" starts $program"
}

# Inside a pristine root: what a user does with the package, leaving the system's file list.
useThePackage() {
    local deb=$1
    quietly apt-get update
    # Only what the package asks for: recommended packages (Qt's German texts among them) would
    # come whether it asks for them or not.
    quietly apt-get install -y --no-install-recommends "$deb"
    echo "installed: $(dpkg-query -W -f='${Package} ${Version}' palvo)," \
        "with $(grep -c '^Setting up' /tmp/command.log) packages set up in all"
    startFromMenuEntry
    checkServiceMenu
    quietly apt-get remove -y palvo
    quietly dpkg --purge palvo
    listFiles >/tmp/files.list
}

# Inside another pristine root: only what the package depends on, never the package itself.
installItsDependencies() {
    local deb=$1
    quietly apt-get update
    quietly apt-get satisfy -y --no-install-recommends "$(dpkg-deb -f "$deb" Depends)"
    listFiles >/tmp/files.list
}

case ${1:-} in
    --use) useThePackage "$2"; exit ;;
    --dependencies) installItsDependencies "$2"; exit ;;
esac

deb=$(realpath "$1")
cache=/var/tmp/palvo-package-test
pristine=$cache/bookworm-minbase.tar

# The pristine root is made once, from the machine's own mirror, and kept as a tarball.
if [ ! -f "$pristine" ]; then
    echo "making a pristine Debian 12 root (once, a few minutes)"
    mirror=$(grep -m1 -h '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '{print $2}' || true)
    [ -n "$mirror" ] || mirror=$(awk '/^deb /{print $2; exit}' /etc/apt/sources.list)
    mkdir -p "$cache"
    rm -rf --one-file-system "$cache/root"
    debootstrap --variant=minbase bookworm "$cache/root" "$mirror" >"$cache/debootstrap.log" 2>&1 ||
        { tail -n 5 "$cache/debootstrap.log"; exit 1; }
    tar -C "$cache/root" -cf "$pristine.part" . && mv "$pristine.part" "$pristine"
    rm -rf --one-file-system "$cache/root"
fi

work=$(mktemp -d "$cache/run.XXXXXX")
cleanUp() {
    # Ends what still runs inside these roots, and only that.
    for p in /proc/[0-9]*; do
        [[ "$(readlink "$p/root" 2>/dev/null)" != "$work"/* ]] || kill -9 "${p#/proc/}" 2>/dev/null || true
    done
    for proc in "$work"/*/proc; do
        umount "$proc" 2>/dev/null || umount -l "$proc" 2>/dev/null || true
    done
    # Never into a file system still mounted there.
    rm -rf --one-file-system "$work"
}
trap cleanUp EXIT

# Runs this script with the given step inside a fresh copy of the pristine root.
inPristineRoot() {
    local root=$work/$1 step=$2
    mkdir "$root"
    tar -C "$root" -xf "$pristine"
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    mount -t proc proc "$root/proc"
    cp "$deb" "$0" "$root/tmp/"
    # The root has no terminal: dpkg runs without one.
    echo 'Dpkg::Use-Pty "false";' >"$root/tmp/apt.conf"
    chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive \
        APT_CONFIG=/tmp/apt.conf /bin/bash -euo pipefail "/tmp/$(basename "$0")" "$step" "/tmp/$(basename "$deb")"
}

inPristineRoot used --use
inPristineRoot compared --dependencies
# Whatever the package, its installation or its removal left behind shows here: the two roots
# differ only in that one had the package installed and removed again.
if ! diff "$work/compared/tmp/files.list" "$work/used/tmp/files.list"; then
    echo "the removal of the package left the files above behind"
    exit 1
fi
echo "removed: the system's files are the same as where the package was never installed"
echo "package test: PASS"
