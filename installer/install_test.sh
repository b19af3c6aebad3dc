#!/usr/bin/env bash
# Installs the setup program silently under Wine into a per-user folder,
# checks the files, the Start-menu entry and the uninstall key, uninstalls
# silently and checks that everything is gone. Also checks the ZIP's content.
set -euo pipefail
setup=$1
zip=$2
version=$3
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${WINEPREFIX:-${KAVIX_DEFAULT_WINEPREFIX:?no Wine prefix}}
export WINEDEBUG=-all WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
"$here/../scripts/wine-prefix"

fail() { echo "install test: $*" >&2; exit 1; }

listing=$(cmake -E tar tf "$zip")
for f in kavix.exe kavix-cli.exe README.txt NOTICE.txt; do
  grep -qx "$f" <<<"$listing" || fail "$f missing from the ZIP"
done

target='C:\users\Public\KavixInstallTest'
unix=$(winepath -u "$target" 2>/dev/null)
rm -rf "$unix"
wine "$setup" /S "/D=$target"
wineserver -w
[[ -f "$unix/kavix.exe" && -f "$unix/kavix-cli.exe" && -f "$unix/uninstall.exe" && -f "$unix/README.txt" ]] \
  || fail "files not installed"
# The terminal program starts from the installed folder and knows its version.
wine "$unix/kavix-cli.exe" --version | grep -qF "kavix-cli $version" || fail "kavix-cli.exe does not run"
menu=$(winepath -u 'C:\users' )
find "$menu" -path '*Quarnel Polarund Expert Tool*' -name 'Quarnel Polarund Expert Tool.lnk' | grep -q . || fail "no Start-menu entry"
wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kavix' /v DisplayVersion 2>/dev/null | grep -qF "$version" \
  || fail "no uninstall key"

# The uninstaller copies itself away and returns at once; wait for it.
wine "$unix/uninstall.exe" /S
wineserver -w
for _ in $(seq 1 50); do [[ -e "$unix" ]] || break; sleep 0.2; done
[[ ! -e "$unix/kavix.exe" && ! -e "$unix/kavix-cli.exe" ]] || fail "program files left after uninstall"
[[ ! -e "$unix" ]] || fail "install folder left after uninstall"
find "$menu" -name 'Quarnel Polarund Expert Tool.lnk' | grep -q . && fail "Start-menu entry left"
wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kavix' >/dev/null 2>&1 && fail "uninstall key left"
echo "install test: installed, checked and uninstalled"
