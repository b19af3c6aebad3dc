#!/usr/bin/env bash
# Runs the screen tests once for each screen scaling (96, 120, 144 and 192
# dpi), in a Wine prefix of their own whose LogPixels is set before each run,
# on an X display large enough for a 4K virtual desktop.
# Usage: screen_matrix.sh SCREEN_TESTS_EXE PREFIX [gtest options]
set -uo pipefail
exe=$1
prefix=$2
shift 2
root=$(cd "$(dirname "$0")/../../.." && pwd)
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8 LANG=C.UTF-8

if [[ -z "${KAVIX_SCREEN_DISPLAY:-}" ]]; then
  export KAVIX_SCREEN_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 3840x2160x24" "$0" "$exe" "$prefix" "$@"
fi

"$root/scripts/wine-prefix" || exit 1
status=0
for dpi in ${KAVIX_SCREEN_DPIS:-96 120 144 192}; do
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  echo "== $dpi dpi"
  wine "$exe" "$@" || status=1
done
wineserver -k >/dev/null 2>&1
exit $status
