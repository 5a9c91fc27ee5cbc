#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program under a private X server, as in smoke_test.sh, with the
# trainer's folder on the school's share (tools/school-share): a setting changed
# in the window and saved there, and nothing else left. Exit code 77 (skipped) when the share or an X server is not
# to be had here.
set -euo pipefail

program=$1
examples=$2
state=${DEXLAN_SCHOOL_SHARE:?the state folder of tools/school-share}

if [ -f "$state/skipped" ]; then
    echo "SKIPPED: $(cat "$state/skipped")"
    exit 77
fi
share=$(awk -F'\t' '$1 == "teacher-a" { print $2 }' "$state/clients")
[ -d "$share" ] || { echo "FAILED: the school's share is not mounted"; exit 1; }

parent=$(mktemp -d -p "$share")
trap 'rm -rf "$parent"' EXIT
"$(dirname "$0")/smoke_test.sh" "$program" "$examples" "$parent"
