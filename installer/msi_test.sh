#!/usr/bin/env bash
# The per-machine MSI under Wine, as an administrator deploys it: a silent
# upgrade over an older package of the same product (built here from the
# same package source with a lower version), the files of the portable ZIP
# in Program Files, the Start-menu entries, the entry Settings > Apps shows,
# a training entry that starts the tool on the simulated unit, and a silent
# uninstall after which only the user's files are left.
# Usage: msi_test.sh RELEASE_INPUTS RELEASE_FOLDER TRAINING_PROBE.exe
set -euo pipefail
test_name="MSI test"
inputs=$1
release=$2
probe=$3
source "$(dirname "$0")/release_test_lib.sh"

msi=$release/kavix-$version.msi
dash=$'\u2014'
programs=(kavix.exe kavix-cli.exe kavix-unitsim.exe)
documents=(user-guide.html README.txt NOTICE.txt THIRD-PARTY-NOTICES.txt)
entries=("$product.lnk" "$product $dash training (K-Series).lnk" "$product $dash training (M-Series).lnk"
         "$product $dash user guide.lnk")
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

folder=$(windows_folder ProgramFiles)/$product
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unpack_portable "$work/portable"

# An older package: the same source, a lower version, a product code of its own.
mkdir -p "$work/older/stage"
cp "$work/portable/"* "$work/older/stage/"
cp "$icon" "$work/older/kavix.ico"
older_code=11111111-2222-3333-4444-555555555555
(cd "$work/older" && wixl --arch x64 -o older.msi -D Version=0.9.0 -D "ProductCode=$older_code" -D "Product=$product" \
   -D "Company=$company" -D "TrainingProductK=$training_product_k" -D "TrainingProductM=$training_product_m" \
   "$release_lib/kavix.wxs")

# Whatever an earlier run that failed left installed goes first.
for code in "$older_code" "$msi_product_code"; do
  wine msiexec /x "{$code}" /qn >/dev/null 2>&1 || true
done
rm -rf "$folder"

wine msiexec /i "$(winepath -w "$work/older/older.msi")" /qn || fail "the older package did not install"
wine reg query "$uninstall\\{$older_code}" >/dev/null 2>&1 || fail "the older package made no uninstall entry"
printf 'a configuration the user saved' > "$folder/unit-M.cbf"

wine msiexec /i "$(winepath -w "$msi")" /qn || fail "msiexec /i ended with exit code $?"
wine reg query "$uninstall\\{$older_code}" >/dev/null 2>&1 && fail "the upgrade left the older package installed"
key="$uninstall\\{$msi_product_code}"
expect_files "$folder" "install folder" "${programs[@]}" "${documents[@]}" unit-M.cbf
for file in "${programs[@]}" "${documents[@]}"; do
  cmp -s "$folder/$file" "$work/portable/$file" || fail "$file differs from the portable ZIP's"
done
# Wine keeps a per-machine package's shortcuts in the installing user's Start
# menu; Windows in the one for all users. Either will do here.
menu=""
for start in "$(windows_folder ProgramData)/Microsoft/Windows/Start Menu/Programs" \
             "$(windows_folder APPDATA)/Microsoft/Windows/Start Menu/Programs"; do
  [[ -d "$start/$product" ]] && menu="$start/$product"
done
[[ -n $menu ]] || fail "no Start-menu folder"
expect_files "$menu" "Start-menu folder" "${entries[@]}"

folder_windows="$(winepath -w "$folder" 2>/dev/null)\\"
declare -A expected=([DisplayName]=$product [DisplayVersion]=$version.0 [Publisher]=$company
                     [InstallLocation]=$folder_windows)
for name in "${!expected[@]}"; do
  value=$(registry_value "$key" "$name")
  [[ $value == "${expected[$name]}" ]] || fail "uninstall entry: $name is '$value', expected '${expected[$name]}'"
done

run_training "$menu/$product $dash training (K-Series).lnk" K "$training_product_k"

wine msiexec /x "$(winepath -w "$msi")" /qn || fail "msiexec /x ended with exit code $?"
# What is left is the user's: a saved file, and the settings file the tool
# wrote where it was started.
expect_files "$folder" "install folder after the uninstall" unit-M.cbf kavix.ini
[[ ! -e $menu ]] || fail "Start-menu folder left after the uninstall"
wine reg query "$key" >/dev/null 2>&1 && fail "uninstall entry left after the uninstall"
wine reg query 'HKLM\Software\Quarnel\Kavix' >/dev/null 2>&1 && fail "registry key left after the uninstall"
rm -rf "$folder"
echo "$test_name: upgraded an older package, installed, trained, uninstalled"
