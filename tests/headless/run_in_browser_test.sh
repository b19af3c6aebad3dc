#!/usr/bin/env bash
# scripts/run on a machine without a display: the page it prints shows the
# tool (the selection window with its red-framed warning) in headless
# Chromium, and ending the run leaves none of its processes behind.
# Usage: run_in_browser_test.sh WINDOWS_TREE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:-$root/build/windows}
work=$(mktemp -d)
run_pid=""
finish() {
  [[ -n "$run_pid" ]] && kill -TERM "$run_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT
fail() { echo "FAIL: $*"; [[ -f "$work/run.log" ]] && sed 's/^/  run: /' "$work/run.log"; exit 1; }

# The run's processes: the ones it starts carry its Wine prefix in their
# environment (other tests' Wine sessions run at the same time).
export WINEPREFIX="$tree/browser-prefix"
watched='Xvfb|x11vnc|websockify|kavix-unitsim|kavix\.exe|wineserver|winedevice|explorer\.exe'
runs_processes() {
  local pid args
  while read -r pid args; do
    [[ "$pid" == "$$" ]] && continue
    { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$pid $args"
  done < <(ps -eo pid=,args= | { grep -E "$watched" || true; })
  return 0
}

unset DISPLAY
"$root/scripts/run" >"$work/run.log" 2>&1 &
run_pid=$!

url=""
for _ in $(seq 600); do
  url=$(sed -n 's/.*open \(http:[^ ]*\) in a web browser.*/\1/p' "$work/run.log")
  [[ -n "$url" ]] && break
  kill -0 "$run_pid" 2>/dev/null || fail "scripts/run ended early"
  sleep 0.5
done
[[ -n "$url" ]] || fail "scripts/run printed no address"
[[ "$url" == http://127.0.0.1:* ]] || fail "the page does not listen on 127.0.0.1 only: $url"

# The tool may start after the page: look until the selection window shows.
shot="$tree/browser-view.png"
shown=0
for _ in $(seq 20); do
  if /usr/bin/python3 "$here/browser_view.py" "$url" "$shot" 120 &&
     /usr/bin/python3 "$here/selection_shown.py" "$shot"; then
    shown=1
    break
  fi
  sleep 3
done
[[ $shown -eq 1 ]] || fail "the page never showed the selection window (last view: $shot)"

kill -TERM "$run_pid"
for _ in $(seq 120); do kill -0 "$run_pid" 2>/dev/null || break; sleep 0.5; done
kill -0 "$run_pid" 2>/dev/null && fail "scripts/run did not end after SIGTERM"
run_pid=""
# Killed processes may take a moment to go.
for _ in $(seq 20); do
  left=$(runs_processes)
  [[ -z "$left" ]] && break
  sleep 0.5
done
if [[ -n "$left" ]]; then
  echo "$left"
  fail "processes of the run are still there"
fi
echo "ok: $url showed the tool; nothing left running"
