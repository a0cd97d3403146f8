#!/usr/bin/env bash
# Plug-ins packed by real archivers and by the publisher's script, installed by the assistant's
# command line in a Wine prefix of the test's own whose code page is 1252: names come out as the
# archive means them, and an entry that cannot be unpacked is named and changes nothing.
# Usage (inside tests/support/with_wine.sh): archiver_install_e2e.sh ASSISTANT_EXE STATE
set -euo pipefail
app=$(realpath "$1") state=$(mkdir -p "$2" && cd "$2" && pwd)
repo=$(cd "$(dirname "$0")/../.." && pwd)
command -v zip 7zz bsdtar >/dev/null || { echo "zip, 7zz or bsdtar is missing: scripts/setup.sh"; exit 1; }
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 USER=person WINEPREFIX=$state/prefix-1252
[ -f "$WINEPREFIX/system.reg" ] || "$repo/tests/support/make_prefix.sh" "$WINEPREFIX"
wineserver -p
trap 'wineserver -k || true' EXIT
wine reg query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP 2>/dev/null | grep -q 1252
wine reg add 'HKLM\SOFTWARE\SketchUp\SketchUp 2021\InstallLocation' /ve /d 'C:\SketchUp\' /f >/dev/null 2>&1
mkdir -p "$WINEPREFIX/drive_c/SketchUp"
roaming=$WINEPREFIX/drive_c/users/person/AppData/Roaming/SketchUp

work=$state/archives && rm -rf "$work" && mkdir -p "$work"
python3 "$repo/tests/support/make_plugin_archive.py" --folder "$work/plugin"  # with 说明.txt
mkdir "$work/plugin/Brindo/图标" && seq 3000 >"$work/plugin/Brindo/图标/按钮.png"
python3 "$repo/scripts/publish.py" key "$work/key.pem" >/dev/null
python3 "$repo/scripts/publish.py" publish "$work/plugin" 1.0.9 "$work/key.pem" "$work/tree" >/dev/null
cd "$work/plugin"
failed=0
# ARCHIVE [LINE]: without LINE the plug-in installs under its own names; with it the run ends
# with 6 and writes LINE, and no folder is made.
check() {
  rm -rf "$roaming"
  local code=0
  wine "$app" /install /from "Z:${1//\//\\}" >"$work/out" 2>/dev/null </dev/null || code=$?
  if [ -n "${2:-}" ]; then
    [ "$code" = 6 ] && grep -qF "$2" "$work/out" && [ ! -e "$roaming" ]
  else
    [ "$code" = 0 ] && diff -r "$work/plugin" "$roaming/SketchUp 2021/SketchUp/Plugins"
  fi || { echo "FAIL $1: exit $code"; cat "$work/out"; failed=1; }
}
all=(Brindo.rb Brindo)
check "$work/tree/update/翎图匠.rbz"  # GBK names without the UTF-8 flag
7zz a -tzip "$work/7z.zip" "${all[@]}" >/dev/null && check "$work/7z.zip"
bsdtar --format zip -cf "$work/bsdtar.zip" "${all[@]}" && check "$work/bsdtar.zip"
zip -qr - "${all[@]}" | cat >"$work/stream.zip" && check "$work/stream.zip"
zip -qr -fz "$work/zip64.zip" "${all[@]}" && check "$work/zip64.zip"
zip -qr -0 "$work/stored.zip" "${all[@]}" && check "$work/stored.zip"
first=(Brindo/图标/按钮.png Brindo.rb)  # the first entry refused names itself
zip -q -Z bzip2 "$work/bzip2.zip" "${first[@]}"
check "$work/bzip2.zip" "entry Brindo/图标/按钮.png: unsupported compression method 12"
zip -q -P pw "$work/zipcrypto.zip" "${first[@]}"
check "$work/zipcrypto.zip" "无法解压条目 Brindo/图标/按钮.png：条目已加密 / entry"
for method in Deflate64:9 LZMA:14; do
  7zz a -tzip "-mm=${method%:*}" "$work/$method.zip" "${first[@]}" >/dev/null
  check "$work/$method.zip" "unsupported compression method ${method#*:}"
done
7zz a -tzip -mem=AES256 -ppw "$work/aes.zip" "${first[@]}" >/dev/null
check "$work/aes.zip" "entry Brindo/图标/按钮.png: encrypted"
exit $failed
