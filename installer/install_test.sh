#!/usr/bin/env bash
# The per-user setup under Wine, as a user runs it: a silent install into
# its default folder with the files of the portable ZIP, the Start-menu
# entries (and no uninstaller among them) and the entry Settings > Apps
# shows; both training entries started from the Start menu; an upgrade over
# the installed version that keeps the user's files and removes an older
# setup's Uninstall entry; the uninstall, after which only the user's files
# are left.
# Usage: install_test.sh RELEASE_INPUTS RELEASE_FOLDER TRAINING_PROBE.exe
set -euo pipefail
test_name="setup test"
inputs=$1
release=$2
probe=$3
source "$(dirname "$0")/release_test_lib.sh"

setup=$release/kavix-$version-setup.exe
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kavix'
dash=$'\u2014'
programs=(kavix.exe kavix-cli.exe kavix-unitsim.exe)
documents=(user-guide.html README.txt NOTICE.txt THIRD-PARTY-NOTICES.txt)
entries=("$product.lnk" "$product $dash training (K-Series).lnk" "$product $dash training (M-Series).lnk"
         "$product $dash user guide.lnk")

folder=$(windows_folder LOCALAPPDATA)/Programs/Kavix
menu=$(windows_folder APPDATA)/Microsoft/Windows/Start\ Menu/Programs/$product
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unpack_portable "$work/portable"
rm -rf "$folder" "$menu"
wine reg delete "$key" /f >/dev/null 2>&1 || true

# Install.
wine "$setup" /S
wineserver -w
expect_files "$folder" "install folder" "${programs[@]}" "${documents[@]}" uninstall.exe
for file in "${programs[@]}" "${documents[@]}"; do
  cmp -s "$folder/$file" "$work/portable/$file" || fail "$file differs from the portable ZIP's"
done
wine "$folder/kavix-cli.exe" --version | grep -qF "kavix-cli $version" || fail "kavix-cli.exe does not run"
expect_files "$menu" "Start-menu folder" "${entries[@]}"

folder_windows=$(winepath -w "$folder" 2>/dev/null)
declare -A expected=(
  [DisplayName]=$product [DisplayVersion]=$version [Publisher]=$company
  [DisplayIcon]="$folder_windows\\kavix.exe,0" [InstallLocation]=$folder_windows
  [UninstallString]="\"$folder_windows\\uninstall.exe\""
  [QuietUninstallString]="\"$folder_windows\\uninstall.exe\" /S" [NoModify]=0x1 [NoRepair]=0x1)
for name in "${!expected[@]}"; do
  value=$(registry_value "$key" "$name")
  [[ $value == "${expected[$name]}" ]] || fail "uninstall entry: $name is '$value', expected '${expected[$name]}'"
done
# The size Settings > Apps shows, in KiB: what was installed, within rounding.
size=$(( $(registry_value "$key" EstimatedSize) ))
installed=$(( $(du -sk --apparent-size "$folder" | cut -f1) ))
(( size > 0 && size >= installed - 16 && size <= installed + 16 )) \
  || fail "uninstall entry: EstimatedSize $size KiB, installed $installed KiB"

# Training from the Start menu; the tool starts in the install folder and
# leaves its settings file there.
run_training "$menu/$product $dash training (K-Series).lnk" K "$training_product_k"
run_training "$menu/$product $dash training (M-Series).lnk" M "$training_product_m"
[[ -f $folder/kavix.ini ]] || fail "the tool kept no settings file in its folder"

# The user's files, and an older setup's Uninstall entry; an upgrade keeps
# the first and removes the second.
printf 'a configuration the user saved' > "$folder/unit-K.cbf"
settings=$(sha256sum < "$folder/kavix.ini")
cp "$menu/$product.lnk" "$menu/Uninstall.lnk"
wine "$setup" /S
wineserver -w
[[ $(cat "$folder/unit-K.cbf") == 'a configuration the user saved' ]] || fail "the upgrade lost the user's file"
[[ $(sha256sum < "$folder/kavix.ini") == "$settings" ]] || fail "the upgrade changed the settings file"
expect_files "$menu" "Start-menu folder after the upgrade" "${entries[@]}"
expect_files "$folder" "install folder after the upgrade" "${programs[@]}" "${documents[@]}" uninstall.exe \
  kavix.ini unit-K.cbf

# The uninstaller copies itself away and returns at once; wait for it.
wine "$folder/uninstall.exe" /S
wineserver -w
expect_files "$folder" "install folder after the uninstall" unit-K.cbf
[[ ! -e $menu ]] || fail "Start-menu folder left after the uninstall"
wine reg query "$key" >/dev/null 2>&1 && fail "uninstall entry left after the uninstall"
rm -rf "$folder"
echo "$test_name: installed, trained on both families, upgraded and uninstalled"
