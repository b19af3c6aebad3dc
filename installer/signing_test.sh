#!/usr/bin/env bash
# Signing the release as scripts/package --sign does (make-release --sign),
# with a throw-away self-signed certificate made here and a time-stamping
# service on the loopback: every program, the setup, the uninstaller it
# installs and the MSI carry a valid SHA-256 Authenticode signature with an
# RFC 3161 timestamp; a wrong password signs nothing and fails; the release
# the build makes stays unsigned.
# Usage: signing_test.sh RELEASE_INPUTS RELEASE_FOLDER
set -euo pipefail
test_name="signing test"
inputs=$1
release=$2
source "$(dirname "$0")/release_test_lib.sh"

work=$(mktemp -d)
server=""
cleanup() {
  [[ -z $server ]] || kill "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

password="test-only-$$"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kavix release test/O=$company" \
  -addext "extendedKeyUsage=codeSigning" -keyout key.pem -out cert.pem 2>/dev/null
openssl pkcs12 -export -inkey key.pem -in cert.pem -out test.pfx -passout "pass:$password"

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kavix test time stamps" \
  -addext "extendedKeyUsage=critical,timeStamping" -keyout tsa-key.pem -out tsa.pem 2>/dev/null
echo 01 > serial
cat > tsa.cnf <<EOF
[ tsa ]
default_tsa = test_tsa
[ test_tsa ]
serial = $work/serial
crypto_device = builtin
signer_cert = $work/tsa.pem
signer_key = $work/tsa-key.pem
signer_digest = sha256
default_policy = 1.3.6.1.4.1.99999.1
digests = sha256, sha384, sha512
accuracy = secs:1
ess_cert_id_alg = sha256
EOF
python3 "$release_lib/timestamp_server.py" tsa.cnf > port &
server=$!
for _ in $(seq 1 50); do [[ -s port ]] && break; sleep 0.1; done
[[ -s port ]] || fail "the time-stamping service did not start"
timestamps=http://127.0.0.1:$(cat port)
# The service is on the loopback, never behind a proxy.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY
export no_proxy=127.0.0.1 NO_PROXY=127.0.0.1

if KAVIX_SIGN_PASSWORD=wrong "$release_lib/make-release" "$inputs" refused --sign test.pfx >refused.log 2>&1; then
  fail "make-release signed with a wrong password"
fi
[[ ! -e refused/kavix-$version-setup.exe ]] || fail "a wrong password still made a setup"

KAVIX_SIGN_PASSWORD=$password "$release_lib/make-release" "$inputs" signed --sign test.pfx --timestamp "$timestamps" \
  >signed.log 2>&1 || fail "make-release --sign failed: $(cat signed.log)"

verify() {
  local file=$1 report
  report=$(osslsigncode verify -CAfile cert.pem -TSA-CAfile tsa.pem -in "$file" 2>&1) \
    || fail "$(basename "$file"): no valid signature: $report"
  grep -qi "digest algorithm *: *SHA256" <<<"$report" || fail "$(basename "$file"): not signed with SHA-256: $report"
  grep -q "Timestamp Server Signature verification: ok" <<<"$report" || fail "$(basename "$file"): no valid timestamp"
}
mkdir portable
(cd portable && cmake -E tar xf "../signed/kavix-$version-portable.zip")
for file in portable/kavix.exe portable/kavix-cli.exe portable/kavix-unitsim.exe \
            "signed/kavix-$version-setup.exe" "signed/kavix-$version.msi"; do
  verify "$file"
done
for file in "$release/kavix-$version-setup.exe" "$release/kavix-$version.msi" ; do
  if osslsigncode verify -in "$file" >/dev/null 2>&1; then
    fail "$(basename "$file") of the unsigned release carries a signature"
  fi
done

# The uninstaller is made inside the setup; only an install shows it.
target='C:\users\Public\KavixSignedTest'
folder=$(winepath -u "$target" 2>/dev/null)
rm -rf "$folder"
wine "signed/kavix-$version-setup.exe" /S "/D=$target"
wineserver -w
cmp -s "$folder/kavix.exe" portable/kavix.exe || fail "the signed setup installed another kavix.exe"
verify "$folder/uninstall.exe"
wine "$folder/uninstall.exe" /S
wineserver -w
rm -rf "$folder"
echo "$test_name: programs, setup, uninstaller and MSI signed (SHA-256, timestamped); wrong password refused"
