#!/usr/bin/env bash
# Makes a Wine prefix fit for running the program: created once, with the Windows font faces
# the program names, no window-manager waits and no crash dialog. Quick when already prepared.
set -eu
prefix=$1
[ -f "$prefix/.mnemora-ready" ] && exit 0
mkdir -p "$(dirname "$prefix")"
# Only one process prepares a prefix; the others wait for it.
exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.mnemora-ready" ] && exit 0
export WINEPREFIX=$prefix
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
$MNEMORA_WINE wineboot -i >/dev/null 2>&1
wineserver -w
fonts="$prefix/drive_c/windows/Fonts"
mkdir -p "$fonts"
cp /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$fonts/" 2>/dev/null || true
reg=$(mktemp --suffix=.reg)
cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Times New Roman"="Liberation Serif"
"Courier New"="Liberation Mono"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Debugger"="-"
"Auto"="1"

[HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Debugger"="-"
"Auto"="1"
REG
$MNEMORA_WINE regedit /S "$($MNEMORA_WINE winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
wineserver -w
rm -f "$reg"
touch "$prefix/.mnemora-ready"
