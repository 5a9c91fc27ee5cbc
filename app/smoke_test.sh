#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Drives the real program as a user would, under a private X server, with
# keystrokes from outside: Help is closed with Enter, Ctrl+Tab reaches the
# Sounds page, the keyboard chooses "Silent operation only", File, Exit, and
# Yes to the update question. Then only line 11 of Dexlan4.ini has changed,
# and the program ended with status 0. Started on a folder without an options
# file, it ends with status 1.
# A third argument names the folder in which the trainer is laid out (a
# school's share, say); by default a temporary folder of this machine.
# Exit code 77 (skipped) when no X server can be started here.
set -euo pipefail

program=$1
examples=$2
parent=${3:-${TMPDIR:-/tmp}}

if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "SKIPPED: Xvfb or xdotool is not installed"
    exit 77
fi

work=$(mktemp -d -p "$parent")
# The X server's and the program's logs, and the runtime folder, stay on this
# machine: a share refuses to remove a file that a process still holds open.
scratch=$(mktemp -d)
cleanup() {
    [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "${x_pid:-}" ] && kill "$x_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work" "$scratch"
}
trap cleanup EXIT

cp "$examples"/* "$work"/
cp "$program" "$work"/
before=$(cat "$work/Dexlan4.ini")

# A display number nobody uses.
for n in $(seq 90 130); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$scratch/xvfb.log" 2>&1 &
x_pid=$!
for _ in $(seq 50); do
    xdotool getmouselocation --display "$display" >/dev/null 2>&1 && break
    sleep 0.1
done
if ! kill -0 "$x_pid" 2>/dev/null; then
    echo "SKIPPED: no X server could be started: $(cat "$scratch/xvfb.log")"
    exit 77
fi
export DISPLAY=$display
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
# A runtime folder of its own, so a copy of the program running elsewhere on
# this machine does not count as another copy.
export XDG_RUNTIME_DIR=$scratch/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

(cd "$work" && exec ./dexlan-options) >"$scratch/app.log" 2>&1 &
app_pid=$!

wait_for() { # window title
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -1) && [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    echo "FAILED: no window '$1' appeared" >&2
    cat "$scratch/app.log" >&2
    return 1
}
press() { # window, keys...
    local window=$1
    shift
    # There is no window manager: the pointer over the window and an explicit
    # focus request make the keys go there.
    xdotool mousemove --window "$window" 5 5 2>/dev/null || true
    xdotool windowfocus "$window" 2>/dev/null || true
    sleep 0.2
    xdotool key --clearmodifiers --delay 300 "$@"
    sleep 0.3
}

help=$(wait_for "The Corvantis Dexlan Options 4 program...")
press "$help" Return
main=$(wait_for "Corvantis Dexlan Options 4")
press "$main" ctrl+Tab ctrl+Tab ctrl+Tab
# The Sounds page: Tab to its option buttons, then Down to the third choice.
press "$main" Tab Down Down
press "$main" alt+f x
question=$(wait_for "Corvantis Dexlan Program options...")
press "$question" Return

for _ in $(seq 50); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then
    echo "FAILED: the program did not end after File, Exit and Yes"
    exit 1
fi
status=0
wait "$app_pid" || status=$?
app_pid=""
if [ "$status" != 0 ]; then
    echo "FAILED: the program ended with status $status after File, Exit and Yes"
    exit 1
fi

after=$(cat "$work/Dexlan4.ini")
expected=$(printf '%s' "$before" | sed '11s/^sfx all\r$/sfx none\r/')
if [ "$after" != "$expected" ]; then
    echo "FAILED: Dexlan4.ini is not as expected"
    diff <(printf '%s\n' "$expected" | od -c) <(printf '%s\n' "$after" | od -c) || true
    exit 1
fi

left=$(ls -A "$work" | grep -E '^\..+\.new[0-9a-f]+$' || true)
if [ -n "$left" ]; then
    echo "FAILED: the save left its temporary file: $left"
    exit 1
fi

# Named on the command line, a trainer folder without its options file: the
# program says so and ends with status 1, an error's.
mkdir "$work/no-options"
cp "$work/Corvantis Dexlan Trainer 4.exe" "$work/no-options/"
"$work/dexlan-options" "$work/no-options" >"$scratch/app.log" 2>&1 &
app_pid=$!
sorry=$(wait_for "Sorry...")
press "$sorry" Return
for _ in $(seq 50); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
status=0
wait "$app_pid" || status=$?
app_pid=""
if [ "$status" != 1 ]; then
    echo "FAILED: without an options file the program ended with status $status, not 1"
    exit 1
fi
echo "PASSED: line 11 is now 'sfx none' and the other eleven lines are unchanged;"
echo "        File, Exit ends with status 0, a missing options file with 1"
