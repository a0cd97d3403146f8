#!/usr/bin/env bash
# Installs plug-ins packed by real archivers (Info-ZIP, 7-Zip, libarchive) and by the publisher's
# script through the assistant's command line, in a Wine prefix of its own whose code page is
# 1252: names must come out as the archive means them, whatever the system's code page, and an
# entry the assistant cannot unpack is named and changes nothing.
# Usage (inside tests/support/with_wine.sh): archiver_install_e2e.sh ASSISTANT_EXE STATE
set -euo pipefail
app=$(realpath "$1") state=$(mkdir -p "$2" && cd "$2" && pwd)
repo=$(cd "$(dirname "$0")/../.." && pwd)
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 USER=person WINEPREFIX=$state/prefix-1252
[ -f "$WINEPREFIX/system.reg" ] || "$repo/tests/support/make_prefix.sh" "$WINEPREFIX"
wineserver -p
trap 'wineserver -k || true' EXIT
wine reg query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP 2>/dev/null | grep -q 1252
wine reg add 'HKLM\SOFTWARE\SketchUp\SketchUp 2021\InstallLocation' /ve /d 'C:\SketchUp\' /f >/dev/null 2>&1
mkdir -p "$WINEPREFIX/drive_c/SketchUp"
plugins="$WINEPREFIX/drive_c/users/person/AppData/Roaming/SketchUp/SketchUp 2021/SketchUp/Plugins"

# The plug-in: the publisher's sample, with a Chinese folder and file besides its 说明.txt.
work=$state/archives && rm -rf "$work" && mkdir -p "$work"
python3 "$repo/tests/support/make_plugin_archive.py" --folder "$work/plugin"
mkdir "$work/plugin/Brindo/图标" && seq 3000 >"$work/plugin/Brindo/图标/按钮.png"
python3 "$repo/scripts/publish.py" key "$work/key.pem" >/dev/null
python3 "$repo/scripts/publish.py" publish "$work/plugin" 1.0.9 "$work/key.pem" "$work/tree" >/dev/null
cd "$work/plugin"
failed=0
install() {  # ARCHIVE EXPECTED_EXIT [LINE]: installs into an empty folder
  rm -rf "$WINEPREFIX/drive_c/users/person/AppData/Roaming/SketchUp"
  local code=0
  wine "$app" /install /from "Z:${1//\//\\}" >"$work/out" 2>/dev/null </dev/null || code=$?
  if [ "$code" != "$2" ] || ! grep -qF "${3:-}" "$work/out"; then
    echo "FAIL $1: exit $code, wanted $2 ${3:+and \"$3\"}:"; cat "$work/out"; failed=1
  fi
}
installs() {  # ARCHIVE: the whole plug-in arrives under its own names
  install "$1" 0
  diff -r "$work/plugin" "$plugins" || { echo "FAIL $1: files differ"; failed=1; }
}
refused() {  # ARCHIVE LINE: exit 6, the line, nothing written
  install "$1" 6 "$2"
  [ ! -e "$plugins" ] || { echo "FAIL $1: the plug-in folder was made"; failed=1; }
}
all=(Brindo.rb Brindo)
installs "$work/tree/update/翎图匠.rbz"  # GBK names without the UTF-8 flag
7zz a -tzip "$work/7z.zip" "${all[@]}" >/dev/null && installs "$work/7z.zip"
bsdtar --format zip -cf "$work/bsdtar.zip" "${all[@]}" && installs "$work/bsdtar.zip"
zip -qr - "${all[@]}" | cat >"$work/stream.zip" && installs "$work/stream.zip"
zip -qr -fz "$work/zip64.zip" "${all[@]}" && installs "$work/zip64.zip"
zip -qr -0 "$work/stored.zip" "${all[@]}" && installs "$work/stored.zip"
first=(Brindo/图标/按钮.png Brindo.rb)  # the first entry refused names itself
zip -q -Z bzip2 "$work/bzip2.zip" "${first[@]}"
refused "$work/bzip2.zip" "entry Brindo/图标/按钮.png: unsupported compression method 12"
zip -q -P pw "$work/zipcrypto.zip" "${first[@]}"
refused "$work/zipcrypto.zip" "无法解压条目 Brindo/图标/按钮.png：条目已加密 / entry"
for method in Deflate64:9 LZMA:14; do
  7zz a -tzip "-mm=${method%:*}" "$work/$method.zip" "${first[@]}" >/dev/null
  refused "$work/$method.zip" "unsupported compression method ${method#*:}"
done
7zz a -tzip -mem=AES256 -ppw "$work/aes.zip" "${first[@]}" >/dev/null
refused "$work/aes.zip" "entry Brindo/图标/按钮.png: encrypted"
exit $failed
