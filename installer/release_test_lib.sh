# Shared by the release tests that install under Wine (sourced, not run).
# They work in a Wine prefix of their own (KAVIX_RELEASE_WINEPREFIX), so
# that what they install, start and look for meets nothing of the other
# Windows tests; CTest runs them one after another in it.
#
# Before sourcing, set: test_name (for messages), inputs (release-inputs.sh).

fail() { echo "$test_name: $*" >&2; exit 1; }

# The programs' windows need an X display; a virtual one when there is none.
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

release_lib=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=/dev/null
source "$inputs"
export WINEPREFIX=${KAVIX_RELEASE_WINEPREFIX:?the release tests need KAVIX_RELEASE_WINEPREFIX}
export WINEDEBUG=-all WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Wine takes the ANSI code page 1252 from the locale.
export LC_ALL=C.UTF-8 LANG=C.UTF-8
"$release_lib/../scripts/wine-prefix"

# The Unix path of a Windows folder variable (LOCALAPPDATA, APPDATA, ...).
windows_folder() {
  local folder
  folder=$(wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')
  winepath -u "$folder" 2>/dev/null
}

# The portable ZIP's files, to compare installed files with.
unpack_portable() {
  local into=$1
  mkdir -p "$into"
  (cd "$into" && cmake -E tar xf "$release/kavix-$version-portable.zip")
}

# Exactly these names in folder, else fails with what is there.
expect_files() {
  local folder=$1 what=$2
  shift 2
  local have want
  have=$(cd "$folder" && find . -mindepth 1 -maxdepth 1 -printf '%f\n' | sort)
  want=$(printf '%s\n' "$@" | sort)
  [[ $have == "$want" ]] || fail "$what: found [$(echo $have)], expected [$(echo $want)]"
}

# A Start-menu entry started as Explorer starts it; the probe confirms the
# family in the tool, waits for the monitor to connect, closes the tool and
# waits until the tool and the simulator have ended. The monitor's title
# must name the simulated unit.
run_training() {
  local lnk=$1 family=$2 product=$3 output starter
  [[ -f $lnk ]] || fail "no Start-menu entry $(basename "$lnk")"
  wine start /unix "$lnk" &
  starter=$!
  output=$(wine "$probe" "$family" 2>&1) || fail "training ($family-Series) from $(basename "$lnk"): $output"
  wait "$starter" || true
  grep -qF "monitor title: Monitor: Connect to: ${product}Firmware" <<<"$output" \
    || fail "training ($family-Series): the monitor's title does not name the simulated unit: $output"
  echo "$test_name: training ($family-Series): ${output//$'\n'/; }"
}

# Settings > Apps' view of an uninstall key: value name -> data.
registry_value() {
  local key=$1 name=$2
  wine reg query "$key" /v "$name" 2>/dev/null | tr -d '\r' | sed -n "s/^    $name    REG_[A-Z_]*    //p"
}
