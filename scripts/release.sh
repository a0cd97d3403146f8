#!/usr/bin/env bash
# Builds the shipping program for a real deployment, signs it, and packs it for download:
#   dist/翎图匠助手-<version>-win64.zip   the program and a short read-me in Chinese
#   dist/SHA256SUMS                      the archive's SHA-256, for users to check the download
# Usage: release.sh --host [https://]HOST[:PORT] (--public-key HEX[;HEX...] | --unsigned)
#          [--dist DIR] [--build DIR] [(--sign-pkcs12 FILE --sign-password-file FILE |
#            --sign-cert FILE --sign-key FILE [--sign-password-file FILE])
#            --publisher-url URL [--timestamp-url URL] [--sign-ca FILE] [--not-reproducible]]
#   --host        the update server the program talks to; a loopback address is refused.
#                 With "https://" every exchange goes over TLS (certificate checked by Windows)
#   --public-key  the publisher's update signing keys, 128 hex digits each (X then Y of P-256),
#                 separated by ";" while the publisher changes keys
#   --unsigned    build without a key, on purpose
#   --sign-...    the publisher's code-signing certificate and key: the program is signed with
#                 Authenticode (SHA-256); the key files must lie outside the git work tree and
#                 outside the build and dist folders
#   --publisher-url  the publisher's web page, shown with the signature (required to sign)
#   --timestamp-url  an RFC 3161 time-stamp authority that countersigns the signature
#   --sign-ca     the root certificate (PEM) of the certificate's chain, if neither the key
#                 files nor the system's certificate bundle hold it: the signed program is
#                 verified against that chain before it is packed
#   --not-reproducible  sign with a key that signs differently each time (ECDSA, RSA-PSS):
#                 refused otherwise, as nobody could build the same signed program again
# Two runs on the same commit give the same bytes, in any folder and at any time: the
# archive's entry times and the signing time come from the commit (SOURCE_DATE_EPOCH, when
# set, wins). A time stamp differs from run to run, but removing the signature
# (osslsigncode remove-signature) always gives back the unsigned program, which is kept as
# <build>/翎图匠助手.exe; the script checks that, and the signature, before it packs.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

usage() {
  sed -n '5,23p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}
fail() {
  echo "release: $*" >&2
  exit 1
}

host="" key="" unsigned=0 dist=$here/dist build=$here/build-release
pkcs12="" password="" cert="" sign_key="" publisher_url="" timestamp_url="" sign_ca=""
not_reproducible=0
while [ $# -gt 0 ]; do
  case $1 in
    --sign-pkcs12) [ $# -ge 2 ] || usage; pkcs12=$2; shift 2 ;;
    --sign-password-file) [ $# -ge 2 ] || usage; password=$2; shift 2 ;;
    --sign-cert) [ $# -ge 2 ] || usage; cert=$2; shift 2 ;;
    --sign-key) [ $# -ge 2 ] || usage; sign_key=$2; shift 2 ;;
    --publisher-url) [ $# -ge 2 ] || usage; publisher_url=$2; shift 2 ;;
    --timestamp-url) [ $# -ge 2 ] || usage; timestamp_url=$2; shift 2 ;;
    --sign-ca) [ $# -ge 2 ] || usage; sign_ca=$2; shift 2 ;;
    --not-reproducible) not_reproducible=1; shift ;;
    --host) [ $# -ge 2 ] || usage; host=$2; shift 2 ;;
    --public-key) [ $# -ge 2 ] || usage; key=$2; shift 2 ;;
    --unsigned) unsigned=1; shift ;;
    --dist) [ $# -ge 2 ] || usage; dist=$2; shift 2 ;;
    --build) [ $# -ge 2 ] || usage; build=$2; shift 2 ;;
    *) usage ;;
  esac
done

# The server: a name or address that users' machines can reach, optionally with a port, over
# HTTPS when it begins with "https://" (plain HTTP without a scheme).
address=$host
if [[ ${host,,} == https://* ]]; then
  address=${host:8}
  host=https://$address
elif [[ $host == *://* ]]; then
  fail "\"$host\": the only scheme a host may name is https://"
fi
name=$address port=""
if [[ $address =~ ^\[([^]]*)\](:([0-9]+))?$ ]]; then  # [v6 address]:port
  name=${BASH_REMATCH[1]} port=${BASH_REMATCH[3]}
elif [[ $address =~ ^([^:]*):([0-9]*)$ ]]; then
  name=${BASH_REMATCH[1]} port=${BASH_REMATCH[2]}
  [ -n "$port" ] || fail "the port after \"$name:\" is missing"
fi
lower=${name,,}
[ -n "$lower" ] || fail "--host is required: the update server users' machines reach"
case $lower in
  localhost | localhost.* | *.localhost | 127.* | 0.0.0.0 | ::1 | 0:0:0:0:0:0:0:1 | ::)
    fail "\"$host\" is a loopback address: a release must name the real update server" ;;
esac
[[ $lower =~ ^[a-z0-9.:_-]+$ ]] || fail "\"$host\" is not a host name or address"
if [ -n "$port" ] && { [ "$((10#$port))" -lt 1 ] || [ "$((10#$port))" -gt 65535 ]; }; then
  fail "port $port is out of range"
fi

if [ -n "$key" ]; then
  [ "$unsigned" = 0 ] || fail "give either --public-key or --unsigned, not both"
  [[ $key =~ ^[0-9A-Fa-f]{128}(\;[0-9A-Fa-f]{128})*$ ]] ||
    fail "--public-key takes keys of 128 hex digits (X then Y), separated by \";\""
  key=${key,,}
elif [ "$unsigned" = 0 ]; then
  fail "--public-key is missing (say --unsigned to release without signed updates on purpose)"
fi

# Authenticode: a PKCS#12 file with its password, or a certificate and key pair.
signing=0
if [ -n "$pkcs12" ]; then
  [ -z "$cert$sign_key" ] || fail "give either --sign-pkcs12 or --sign-cert with --sign-key, not both"
  [ -n "$password" ] || fail "--sign-pkcs12 needs --sign-password-file"
  signing=1
elif [ -n "$cert$sign_key" ]; then
  [ -n "$cert" ] && [ -n "$sign_key" ] || fail "--sign-cert and --sign-key go together"
  signing=1
elif [ -n "$password$publisher_url$timestamp_url$sign_ca" ] || [ "$not_reproducible" = 1 ]; then
  fail "--sign-password-file, --publisher-url, --timestamp-url, --sign-ca and" \
    "--not-reproducible only go with a signing key"
fi
url_pattern='^https?://[][A-Za-z0-9._~:/?#@!$&()*+,;=%-]+$'
if [ "$signing" = 1 ]; then
  [ -n "$publisher_url" ] || fail "--publisher-url is missing: signing names the publisher's web page"
  [[ $publisher_url =~ $url_pattern ]] || fail "--publisher-url \"$publisher_url\" is not an http(s) URL"
  [ -z "$timestamp_url" ] || [[ $timestamp_url =~ $url_pattern ]] ||
    fail "--timestamp-url \"$timestamp_url\" is not an http(s) URL"
fi
# The key stays out of anything that is committed, built or shipped; real paths, so that a
# link from elsewhere into the tree is refused too.
tree=$(git -C "$here" rev-parse --show-toplevel 2>/dev/null || echo "$here")
inside() {  # inside <file> <folder>
  local folder
  folder=$(realpath -m -- "$2")
  [[ $(realpath -m -- "$1")/ == "${folder%/}"/* ]]
}
for secret in "$pkcs12" "$sign_key" "$password"; do
  [ -n "$secret" ] || continue
  [ -f "$secret" ] && [ -r "$secret" ] || fail "$secret is not a readable file"
  for folder in "$tree" "$here" "$build" "$dist"; do
    ! inside "$secret" "$folder" ||
      fail "$secret lies inside $folder: keep signing keys and passwords out of the work tree and the build"
  done
  folder=$(dirname -- "$(realpath -- "$secret")")
  if git -C "$folder" rev-parse --is-inside-work-tree >/dev/null 2>&1 &&
    ! git -C "$folder" check-ignore -q -- "$(realpath -- "$secret")"; then
    fail "$secret lies in a git work tree without being ignored: keep signing keys out of repositories"
  fi
done
[ -z "$cert" ] || [ -f "$cert" ] || fail "$cert is not a file"
[ -z "$sign_ca" ] || [ -f "$sign_ca" ] || fail "$sign_ca is not a file"
# A wrong password, or a key that would make the release impossible to reproduce, is better
# found before the build than after it.
if [ "$signing" = 1 ]; then
  key_files=()
  if [ -n "$pkcs12" ]; then
    key_files+=(--pkcs12 "$pkcs12")
  else
    key_files+=(--cert "$cert" --key "$sign_key")
  fi
  [ -z "$password" ] || key_files+=(--password-file "$password")
  check=("${key_files[@]}")
  [ "$not_reproducible" = 0 ] || check+=(--not-reproducible)
  python3 "$here/scripts/signing_key.py" check "${check[@]}" || fail "the signing key is refused"
fi

"$here/scripts/setup.sh" >/dev/null
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$here" log -1 --format=%ct 2>/dev/null) ||
    fail "not a git checkout: set SOURCE_DATE_EPOCH to the release commit's time"
fi
export SOURCE_DATE_EPOCH

# Always from scratch, so nothing of an earlier configuration can leak into the release.
rm -rf "$build"
cmake -S "$here" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-posix.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DLINGTU_BUILD_TESTS=OFF \
  -DUPDATE_SERVER_HOST="$host" \
  -DUPDATE_PUBLIC_KEY="$key" >/dev/null
cmake --build "$build" --target lingtu_assistant >/dev/null

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=\([0-9]*\.[0-9]*\.[0-9]*\).*/\1/p' \
  "$build/CMakeCache.txt")
[ -n "$version" ] || fail "the project version was not found in $build/CMakeCache.txt"
unsigned_exe="$build/翎图匠助手.exe"
exe=$unsigned_exe
archive="翎图匠助手-$version-win64.zip"
# An archive of an earlier run must not pass for this one's if this run fails.
rm -f "$dist/$archive" "$dist/SHA256SUMS"
if [ -n "$key" ]; then
  updates="插件更新包须带有发布者的签名，助手只安装签名核对无误的更新，且不会换成比已安装版本旧的版本。"
else
  updates="本版本不核对插件更新包的签名。"
fi
if [ "$signing" = 1 ]; then
  exe="$build/signed/翎图匠助手.exe"
  mkdir -p "$build/signed"
  sign=(--name 翎图匠助手 --url "$publisher_url" --time "$SOURCE_DATE_EPOCH" "${key_files[@]}")
  [ -z "$timestamp_url" ] || sign+=(--timestamp-url "$timestamp_url")
  rm -f "$exe"
  python3 "$here/scripts/sign_program.py" "$unsigned_exe" "$exe" "${sign[@]}" ||
    fail "signing the program failed"
  # What goes out must be what was signed: a signature that verifies, over this build.
  verify=("${key_files[@]}")
  [ -z "$sign_ca" ] || verify+=(--ca "$sign_ca")
  if ! python3 "$here/scripts/signing_key.py" verify "$exe" "$unsigned_exe" "${verify[@]}"; then
    rm -f "$exe"
    fail "the signed program failed its check: no archive written"
  fi
  publisher="程序带有发布者的数字签名：在“翎图匠助手.exe”的“属性”→“数字签名”中可查看签名者。"
else
  publisher="本程序没有数字签名：Windows 可能提示“未知发布者”，SmartScreen 可能先拦下程序。"
fi

readme=$(mktemp)
trap 'rm -f "$readme"' EXIT
cat >"$readme" <<EOF
翎图匠助手 $version（64 位 Windows）

翎图匠助手用于安装、更新、卸载和检查 SketchUp 的翎图匠插件，并可操作正在运行的 SketchUp 窗口。

使用方法
1. 把本压缩包解压到任意文件夹。
2. 双击“翎图匠助手.exe”即可运行，无需安装，也不需要其他文件。

更新服务器：$host
$updates
$publisher

核对下载的文件
发布页面上的 SHA256SUMS 列有本压缩包的 SHA-256 值。可在命令提示符中运行
    certutil -hashfile $archive SHA256
并与 SHA256SUMS 中的值比较，两者一致才说明文件完整、未被改动。
EOF

mkdir -p "$dist"
python3 "$here/scripts/pack_release.py" "$dist/$archive" "$SOURCE_DATE_EPOCH" \
  "$exe=翎图匠助手.exe" "$readme=说明.txt"
(cd "$dist" && sha256sum "$archive" >SHA256SUMS)

echo "release: $dist/$archive"
echo "release: $(cd "$dist" && cat SHA256SUMS)"
echo "release: program $(sha256sum "$exe" | cut -d' ' -f1)  翎图匠助手.exe"
echo "release: update server $host, $([ -n "$key" ] && echo signed updates || echo UNSIGNED updates)"
if [ "$signing" = 1 ]; then
  echo "release: Authenticode-signed$([ -n "$timestamp_url" ] && echo " and time-stamped")," \
    "the signature verified;" \
    "without the signature: $(sha256sum "$unsigned_exe" | cut -d' ' -f1)  $unsigned_exe"
  [ "$not_reproducible" = 0 ] || echo "release: --not-reproducible: the signature, and so the" \
    "signed program, differs from run to run; only the program under it can be rebuilt" >&2
else
  echo "release: the program is NOT signed (no --sign-pkcs12 or --sign-cert/--sign-key): Windows" \
    "shows users \"unknown publisher\", SmartScreen warns before it starts, and antivirus" \
    "programs may treat it with suspicion" >&2
fi
