#!/usr/bin/env bash
# Runs the program the way a user does (edit, minimize, restore, close) in
# the Wine prefix and fails if the prefix's files or registry changed beyond
# Wine's own housekeeping at every start.
#
#   no_writes.sh PREFIX ARCH RUNNER PROGRAM [--probe]
#
# With --probe a registry key and a file are written on purpose in the run,
# and the check must find both (then they are removed again).
set -euo pipefail

here=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")" && pwd)
root=$(cd -- "$here/../.." && pwd)
(($# == 4 || $# == 5)) || { echo "usage: $0 PREFIX ARCH RUNNER PROGRAM [--probe]" >&2; exit 2; }
prefix=$1 arch=$2 runner=$3 program=$4 probe=${5:-}

session() {
  "$root/tools/wine-session" --arch "$arch" --prefix "$prefix" --timeout 300 -- "$@"
}
state() { /usr/bin/python3 "$here/prefix_state.py" "$@"; }

out=$(mktemp -d "${TMPDIR:-/tmp}/no-writes.XXXXXX")
trap 'rm -rf -- "$out"' EXIT

# A first session makes the prefix where there is none yet and lets Wine do
# what it does at every start, so that the comparison sees only one run.
session true
state snapshot "$prefix" "$out/before.json"

# shellcheck disable=SC2016 # expanded by that sh
session env "NOTICE_EXE=$program" sh -c \
  'exec "$NOTICE_WINE" "$0" --gtest_filter=RealProgramNoWrites.* --gtest_color=no' "$runner"
if [[ $probe == --probe ]]; then
  # shellcheck disable=SC2016
  session sh -c '"$NOTICE_WINE" reg add "HKCU\\Software\\NoticeWriteProbe" /v Probe /d 1 /f &&
                 echo probe >"$WINEPREFIX/drive_c/notice-write-probe.txt"'
fi
state snapshot "$prefix" "$out/after.json"

status=0
state compare "$out/before.json" "$out/after.json" >"$out/report.txt" || status=$?
cat -- "$out/report.txt"
if [[ $probe == --probe ]]; then
  # shellcheck disable=SC2016
  session sh -c '"$NOTICE_WINE" reg delete "HKCU\\Software\\NoticeWriteProbe" /f' || true
  rm -f -- "$prefix/drive_c/notice-write-probe.txt"
  if grep -q 'NoticeWriteProbe' "$out/report.txt" && grep -q 'notice-write-probe.txt' "$out/report.txt"; then
    echo "the check found both writes made on purpose"
    exit 0
  fi
  echo "the check missed a write made on purpose" >&2
  exit 1
fi
exit "$status"
