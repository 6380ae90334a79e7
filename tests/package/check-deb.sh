#!/usr/bin/env bash
# Installs the package on a fresh Debian 12 and checks what a technician gets: a minimal bookworm
# root (debootstrap --variant=minbase) entered with chroot, where apt installs the .deb with only
# runtime libraries, then both programs answer, the window tool keeps running on the simulated
# installation without a screen, the manual page is found, the desktop entry and the software
# centre entry validate, and the icon is there in every size.
#
#   tests/package/check-deb.sh [PACKAGE.deb]     (without one, scripts/package builds it)
#
# It needs root and debootstrap and skips with a line saying why otherwise. The pristine root is
# kept as a tarball in build-chroot/ (git-ignored) and unpacked afresh for every run.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
skip() { echo "check-deb: skipped: $*"; exit 0; }
fail() { echo "check-deb: FAILED: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || skip "not root (debootstrap and chroot need root)"
command -v debootstrap >/dev/null || skip "debootstrap is not installed"
start=$SECONDS

# The Debian mirror this machine's apt already uses (one-line or deb822 sources).
mirror=$(
    { grep -hE '^[[:space:]]*deb[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
          grep -v -- '-security' | sed -E 's/^[[:space:]]*deb[[:space:]]+(\[[^]]*\][[:space:]]+)?([^[:space:]]+).*/\2/'
      grep -hE '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null | grep -v -- '-security' |
          awk '{print $2}'; } | head -n 1
)
mirror="${mirror:-http://deb.debian.org/debian}"

if [ $# -ge 1 ]; then
    deb="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
else
    deb="$("$root/scripts/package" | tail -n 1)"
fi
[ -f "$deb" ] || fail "no package at $deb"
version="$(dpkg-deb -f "$deb" Version)"

cache="$root/build-chroot"
pristine="$cache/bookworm-minbase.tar"
mkdir -p "$cache"
if [ ! -f "$pristine" ]; then
    echo "check-deb: making a minimal Debian 12 root from $mirror"
    fresh="$(mktemp -d "$cache/debootstrap.XXXXXX")"
    debootstrap --variant=minbase bookworm "$fresh" "$mirror" >"$cache/debootstrap.log" 2>&1 ||
        { rm -rf "$fresh"; fail "debootstrap (see $cache/debootstrap.log)"; }
    tar -C "$fresh" -cf "$pristine.part" . && mv "$pristine.part" "$pristine"
    rm -rf "$fresh"
fi

# A fresh copy for this run. /proc is the only mount (debootstrap made the device nodes); it is
# unmounted before the copy is removed, and nothing is removed while it is still mounted.
target="$(mktemp -d "$cache/run.XXXXXX")"
tqdt_pid=""
cleanup() {
    if [ -n "$tqdt_pid" ]; then kill "$tqdt_pid" 2>/dev/null || true; fi
    umount "$target/proc" 2>/dev/null || true
    if mountpoint -q "$target/proc"; then
        echo "check-deb: $target/proc is still mounted; left in place" >&2
    else
        rm -rf "$target"
    fi
}
trap cleanup EXIT
tar -C "$target" -xf "$pristine"
mount -t proc proc "$target/proc"
cp /etc/resolv.conf "$target/etc/resolv.conf"
cp "$deb" "$target/tmp/"
in_root() { chroot "$target" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

echo "check-deb: installing $(basename "$deb") $version on Debian $(cat "$target/etc/debian_version")"
in_root dpkg-query -W -f='${Package}\n' | sort >"$target/tmp/before"
in_root apt-get update -qq >/dev/null
DEBIAN_FRONTEND=noninteractive in_root apt-get install -y -qq "./tmp/$(basename "$deb")" \
    man-db desktop-file-utils appstream >"$target/tmp/install.log" 2>&1 ||
    { cat "$target/tmp/install.log" >&2; fail "apt-get install"; }
in_root dpkg-query -W -f='${Package}\n' | sort >"$target/tmp/after"
added="$(comm -13 "$target/tmp/before" "$target/tmp/after")"
echo "check-deb: apt added $(echo "$added" | wc -l) packages"
if echo "$added" | grep -E -- '-dev(:|$)'; then
    fail "a development package came with it"
fi

check() { # what, then the command
    local what="$1"
    shift
    if "$@"; then echo "check-deb: ok: $what"; else fail "$what"; fi
}
check "tqdt-cli --version prints $version" \
    bash -c '[ "$1" = "tqdt-cli $2" ]' _ "$(in_root tqdt-cli --version)" "$version"
check "tqdt --help answers without a display" \
    bash -c 'grep -q -- --simulate <<<"$1"' _ "$(in_root tqdt --help 2>&1)"

in_root sh -c 'cd /tmp && QT_QPA_PLATFORM=offscreen exec tqdt --simulate' >"$target/tmp/simulate.log" 2>&1 &
tqdt_pid=$!
sleep 8
if kill -0 "$tqdt_pid" 2>/dev/null; then
    echo "check-deb: ok: tqdt --simulate (offscreen) still running after 8 s"
    kill "$tqdt_pid"
    wait "$tqdt_pid" 2>/dev/null || true
    tqdt_pid=""
else
    cat "$target/tmp/simulate.log" >&2
    fail "tqdt --simulate ended within 8 s"
fi

check "man -w tqdt-cli finds the page" bash -c '[ -n "$1" ]' _ "$(in_root man -w tqdt-cli)"
check "man -w tqdt finds the page" bash -c '[ -n "$1" ]' _ "$(in_root man -w tqdt)"
check "desktop-file-validate" in_root desktop-file-validate /usr/share/applications/tqdt.desktop
check "appstreamcli validate --no-net" \
    in_root sh -c 'appstreamcli validate --no-net /usr/share/metainfo/*.metainfo.xml >/dev/null'
listing="$(in_root dpkg -L tqdt)"
for size in 16 32 48 64 128 256; do
    check "dpkg -L lists the ${size}x${size} icon" \
        grep -qx "/usr/share/icons/hicolor/${size}x${size}/apps/tqdt.png" <<<"$listing"
done
echo "check-deb: passed in $((SECONDS - start)) s"
