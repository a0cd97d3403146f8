#!/usr/bin/env bash
# Builds a Wine prefix that looks like a Chinese Windows: code page 936 (from LANG), the
# fonts the program asks for mapped to an installed CJK font, and 96 DPI.
# Usage: make_prefix.sh <prefix dir>   (WINEPREFIX, LANG and DISPLAY come from the caller)
set -euo pipefail
prefix=$1
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$prefix"
wineboot -i >/dev/null 2>&1
# Debian's Wine looks for its own fonts (package fonts-wine) at "<data dir>\..\fonts", a path
# it cannot open, so Marlett is missing and title bars show the glyphs' letters ("0 1 r")
# instead of the minimise, maximise and close buttons. Fonts in the prefix's own Fonts
# folder are always loaded.
cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
for face in 'Microsoft YaHei' 'SimSun' 'Tahoma' 'Segoe UI' 'MS Shell Dlg' 'MS Shell Dlg 2'; do
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ \
    /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
done
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
# No crash dialogs waiting for a person: a crashing test program just ends.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wineserver -w
