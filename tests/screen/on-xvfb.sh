#!/bin/sh
# Runs a test program on a private X server, the way a technician's desktop shows windows, so that a
# window that is not yet on the screen while it works shows up as such. --wm adds a window manager.
# The server picks a free display itself (-displayfd), so parallel runs never meet.
set -u
wm=0
if [ "${1:-}" = "--wm" ]; then
    wm=1
    shift
fi
if ! command -v Xvfb >/dev/null 2>&1; then
    echo "Xvfb is not installed (scripts/setup installs it): skipped"
    exit 77
fi
if [ "$wm" = 1 ] && ! command -v openbox >/dev/null 2>&1; then
    echo "openbox is not installed (scripts/setup installs it): skipped"
    exit 77
fi
dir=$(mktemp -d)
trap 'kill $wmpid $xpid 2>/dev/null; wait 2>/dev/null; rm -rf "$dir"' EXIT
wmpid=""
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
xpid=$!
i=0
while [ ! -s "$dir/display" ] && [ $i -lt 100 ]; do
    sleep 0.1
    i=$((i + 1))
done
if [ ! -s "$dir/display" ]; then
    echo "Xvfb did not start:"
    cat "$dir/xvfb.log"
    exit 1
fi
DISPLAY=":$(head -n 1 "$dir/display")"
export DISPLAY
export QT_QPA_PLATFORM=xcb
if [ "$wm" = 1 ]; then
    openbox >"$dir/wm.log" 2>&1 &
    wmpid=$!
    # The window manager owns the screen once it has set its check window on the root.
    i=0
    while ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && [ $i -lt 50 ]; do
        sleep 0.1
        i=$((i + 1))
    done
    # It sets the check window before it has finished taking over the screen.
    sleep 1
fi
"$@"
