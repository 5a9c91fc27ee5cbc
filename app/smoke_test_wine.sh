#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Drives the real Windows program under Wine as a user would, as smoke_test.sh
# does on Linux: Help is closed with Enter, Ctrl+Tab reaches the Sounds page,
# the keyboard chooses "Silent operation only", File, Exit, and Yes to the
# update question. Then line 11 of Dexlan4.ini is "sfx none", the other lines
# are unchanged and every line still ends in CR LF.
#   smoke_test_wine.sh [--program FOLDER] TRAINER_FOLDER LIST_WINDOWS_EXE [SCREENSHOT.png]
# TRAINER_FOLDER is a copy of a trainer's folder with the program installed in
# it (unzipped or by the installer); nothing else is on the program's PATH, so
# a DLL missing from the installation shows here. With --program, the program
# is installed in FOLDER instead and started there without an argument: it
# must find the trainer through the setting an installer made, in the
# smoke test's prefix, and open it without asking. The program runs in a Wine
# virtual desktop on a private X server; keys come from outside through X.
# SCREENSHOT gets a picture of the options window on the Sounds page.
# Exit code 77 (skipped) when no X server can be started here.
set -euo pipefail

program=""
if [ "${1:-}" = "--program" ]; then
    program=$(realpath "$2")
    shift 2
fi
trainer=$(realpath "$1")
program=${program:-$trainer}
list_windows=$(realpath "$2")
screenshot=${3:-}
source "$(dirname "$0")/../tools/windows-env"

for tool in Xvfb xdotool import wine; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
cleanup() {
    [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    [ -n "${x_pid:-}" ] && kill "$x_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A prefix of its own whose programs all run in one virtual desktop.
export WINEPREFIX=$root/build/wine-prefix-desktop
DEXLAN_WINEPREFIX=$WINEPREFIX "$root/tools/windows-wine-prefix" --desktop 1280x1024
unset WINEPATH # only what is installed beside the program counts

before=$(cat "$trainer/Dexlan4.ini")

for n in $(seq 140 180); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
x_pid=$!
for _ in $(seq 50); do
    xdotool getmouselocation --display "$display" >/dev/null 2>&1 && break
    sleep 0.1
done
if ! kill -0 "$x_pid" 2>/dev/null; then
    echo "SKIPPED: no X server could be started: $(cat "$work/xvfb.log")"
    exit 77
fi
export DISPLAY=$display
unset WAYLAND_DISPLAY

(cd "$program" && exec wine ./dexlan-options.exe) >"$work/app.log" 2>&1 &
app_pid=$!

# Prints "left top right bottom" of the visible window with exactly this title.
window_rect() {
    wine "$list_windows" 2>/dev/null | tr -d '\r' |
        awk -v t="$1" '{r=$1" "$2" "$3" "$4; $1=$2=$3=$4=""; sub(/^ +/, ""); if ($0 == t) print r}' |
        head -1 || true
}
wait_for() { # window title
    for _ in $(seq 120); do
        rect=$(window_rect "$1")
        [ -n "$rect" ] && { echo "$rect"; return 0; }
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.5
    done
    echo "FAILED: no window '$1' appeared" >&2
    cat "$work/app.log" >&2
    return 1
}
wait_gone() { # window title
    for _ in $(seq 60); do
        [ -z "$(window_rect "$1")" ] && return 0
        sleep 0.5
    done
    echo "FAILED: the window '$1' stayed" >&2
    return 1
}
press() { # keys...
    # The virtual desktop is one X window; Wine gives its keys to the window
    # in front inside it.
    desktop=$(xdotool search --name 'Wine desktop' 2>/dev/null | head -1 || true)
    [ -n "$desktop" ] && xdotool windowfocus "$desktop" 2>/dev/null || true
    xdotool key --clearmodifiers --delay 300 "$@"
    sleep 0.5
}

help_title="The Corvantis Dexlan Options 4 program..."
wait_for "$help_title" >/dev/null
sleep 1
press Return
wait_gone "$help_title"
main_rect=$(wait_for "Corvantis Dexlan Options 4")
press ctrl+Tab ctrl+Tab ctrl+Tab
# The Sounds page: Tab to its option buttons, then Down to the third choice.
press Tab Down Down
if [ -n "$screenshot" ]; then
    sleep 1
    read -r left top right bottom <<<"$main_rect"
    import -display "$display" -window root "$work/screen.png"
    convert "$work/screen.png" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$screenshot"
fi
press alt+f x
wait_for "Corvantis Dexlan Program options..." >/dev/null
sleep 0.5
press Return

for _ in $(seq 60); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.5
done
if kill -0 "$app_pid" 2>/dev/null; then
    echo "FAILED: the program did not end after File, Exit and Yes"
    exit 1
fi

after=$(cat "$trainer/Dexlan4.ini")
expected=$(printf '%s' "$before" | sed '11s/^sfx all\r$/sfx none\r/')
if [ "$after" != "$expected" ]; then
    echo "FAILED: Dexlan4.ini is not as expected"
    diff <(printf '%s\n' "$expected" | od -c) <(printf '%s\n' "$after" | od -c) || true
    exit 1
fi
if [ "$(grep -c $'\r$' "$trainer/Dexlan4.ini")" != "$(wc -l <"$trainer/Dexlan4.ini")" ]; then
    echo "FAILED: a line of Dexlan4.ini does not end in CR LF"
    exit 1
fi
# The save is recorded beside the options file: one line, from the window.
log=$trainer/Dexlan4-changes.log
if [ ! -f "$log" ] || [ "$(wc -l <"$log")" != 1 ] ||
    ! grep -qF $'\twindow\tset\t\t\tline 11: "sfx all" -> "sfx none"' "$log"; then
    echo "FAILED: the record of changes does not hold the one save: $(cat "$log" 2>/dev/null || echo 'no file')"
    exit 1
fi
echo "PASSED: line 11 is now 'sfx none', the other lines are unchanged and end in CR LF, and the save is recorded"
