#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program under Wine with the trainer on the school's share
# (tools/school-share): once reached by a UNC path (\\127.0.0.1\dexlan\..., which
# Wine maps through dosdevices/unc/127.0.0.1/dexlan to one teacher's mount) and
# once by a drive letter (S:, the other teacher's mount). Each way lists the
# users, shows the settings, then saves a setting, adds a name and deletes one.
#
# Whether those three can succeed depends on the share as Wine reaches it, and
# this test says which it is: rename-probe makes a file there and renames it
# with nothing of the program's in between. Where the probe renames, each
# command must succeed with the right bytes. Where Wine cannot rename there at
# all (Wine keeps the file open while it renames, and Samba refuses to rename
# a file that is open through a FUSE mount), each command must fail with the
# system's reason, leave every file of the trainer's byte for byte, and leave
# nothing of its own behind.
#   share_test_wine.sh PROGRAM_EXE RENAME_PROBE_EXE STATE_FOLDER
# Exit code 77 (skipped) when this machine cannot have the share; why is printed.
set -euo pipefail

program=$(realpath "$1")
probe=$(realpath "$2")
state=$(realpath -m "$3")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tools/windows-env"
export QT_QPA_PLATFORM=offscreen

fail() { echo "FAILED: $*"; exit 1; }

status=0
"$root/tools/school-share" start "$state" >/dev/null || status=$?
if [ "$status" = 77 ]; then
    echo "SKIPPED: $(cat "$state/skipped")"
    exit 77
fi
[ "$status" = 0 ] || fail "the school's share did not come up"
unc_link=$WINEPREFIX/dosdevices/unc/127.0.0.1/dexlan
drive_link=$WINEPREFIX/dosdevices/s:
cleanup() {
    rm -f "$unc_link" "$drive_link"
    wineserver -k 2>/dev/null || true
    "$root/tools/school-share" stop "$state" >/dev/null || true
}
trap cleanup EXIT

served=$state/served
mount_a=$(awk '$1 == "teacher-a" { print $2 }' "$state/clients")
mount_b=$(awk '$1 == "teacher-b" { print $2 }' "$state/clients")
mkdir -p "$(dirname "$unc_link")"
ln -sfn "$mount_a" "$unc_link"
ln -sfn "$mount_b" "$drive_link"

# Every file under a folder with its checksum, hidden ones included.
contents() { (cd "$1" && find . -type f -print0 | sort -z | xargs -0r sha1sum); }

class_list=$(mktemp)
printf 'Zed One\r\nZed Two\r\n' >"$class_list"
trap 'rm -f "$class_list"; cleanup' EXIT

for way in unc drive; do
    name=$way-trainer
    cp -r "$root/examples/trainer" "$served/$name"
    if [ "$way" = unc ]; then
        trainer="\\\\127.0.0.1\\dexlan\\$name"
    else
        trainer="S:\\$name"
    fi
    echo "-- by $trainer"
    dx() { wine "$program" --trainer "$trainer" "$@" 2>&1 | tr -d '\r'; return "${PIPESTATUS[0]}"; }

    users=$(dx --list-users) || fail "--list-users by $trainer: $users"
    [ "$users" = $'1\tAnn Carter\n2\tbob Lindqvist\n3\tChiara Rossi' ] \
        || fail "--list-users by $trainer printed: $users"
    shown=$(dx --show) || fail "--show by $trainer: $shown"
    grep -q '^11  sfx all$' <<<"$shown" || fail "--show by $trainer printed: $shown"
    echo "PASSED: the users listed and the settings shown"

    before=$(contents "$served/$name")
    probed=$(wine "$probe" "$trainer" | tr -d '\r') && renamed=1 || renamed=0
    # The probe is ours, not the program under test: a file of its own that the
    # share kept is taken away on the server's side before the program's turn.
    for _ in $(seq 30); do
        [ -z "$(find "$served/$name" -maxdepth 1 -name '.rename-probe-*')" ] && break
        sleep 0.1
    done
    if [ -n "$(find "$served/$name" -maxdepth 1 -name '.rename-probe-*')" ]; then
        echo "-- the share kept the probe's file; removed on the server"
        find "$served/$name" -maxdepth 1 -name '.rename-probe-*' -delete
    fi
    if [ "$renamed" = 1 ]; then
        dx --set sounds=none >/dev/null || fail "--set by $trainer"
        [ "$(sed -n 11p "$served/$name/Dexlan4.ini" | tr -d '\r')" = "sfx none" ] \
            || fail "--set by $trainer did not write sfx none"
        dx --add-users "Z:${class_list//\//\\}" >/dev/null || fail "--add-users by $trainer"
        [ "$(head -c 9 "$served/$name/4HIST.DX")" = '"Zed One"' ] || fail "no 4HIST.DX for Zed One"
        dx --delete-user "Ann Carter" >/dev/null || fail "--delete-user by $trainer"
        [ ! -e "$served/$name/1HIST.DX" ] || fail "1HIST.DX is still there"
        dx --restore-user "Ann Carter" >/dev/null || fail "--restore-user by $trainer"
        echo "PASSED: a setting saved, two names added, one deleted and restored"
    else
        echo "-- Wine cannot rename a file on this share ($probed), with nothing of the program's in between"
        for command in "--set sounds=none" "--add-users Z:${class_list//\//\\}" \
                       "--delete-user Ann Carter"; do
            read -r option value <<<"$command"
            if said=$(dx "$option" "$value"); then
                fail "$command by $trainer reported success where nothing can be renamed: $said"
            fi
            grep -q 'Lock violation\.' <<<"$said" \
                || fail "$command by $trainer did not give the system's reason: $said"
            [ "$(contents "$served/$name")" = "$before" ] \
                || fail "$command by $trainer changed or left files: $(diff <(echo "$before") <(contents "$served/$name"))"
        done
        echo "PASSED: saving, adding and deleting each refused with the system's reason; every file as it was, nothing left behind"
    fi
done
