#!/usr/bin/env bash
# Makes a Wine prefix fit for running the program: created once, with the Windows font faces
# the program names, no window-manager waits and no crash dialog. Quick when already prepared.
# A second argument sets the display's DPI (HKCU\Control Panel\Desktop LogPixels, read by Wine
# at process start); without it the prefix keeps Wine's 96. Use a prefix of its own per DPI.
#   prepare-wineprefix.sh <prefix> [dpi]
set -eu
prefix=$1
dpi=${2:-}
case "$dpi" in '' | [1-9] | [1-9][0-9] | [1-9][0-9][0-9]) ;; *) echo "prepare-wineprefix: bad DPI '$dpi'" >&2; exit 2 ;; esac
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
# The user folders that Wine links to the Unix home (Desktop, Documents, Templates, ...) become
# folders of the prefix, so that nothing run in it (a test emptying a folder, a file saved to the
# documents) reaches the files of whoever runs it. The player's own prefix (play.sh) keeps them:
# there they lead to the player's pictures and documents.
if [ -z "${MNEMORA_KEEP_HOME_LINKS:-}" ]; then
    find "$prefix/drive_c/users" -type l | while IFS= read -r link; do rm "$link" && mkdir "$link"; done
fi
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
if [ -n "$dpi" ]; then
    printf '\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n' "$dpi" >>"$reg"
fi
$MNEMORA_WINE regedit /S "$($MNEMORA_WINE winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
wineserver -w
rm -f "$reg"
touch "$prefix/.mnemora-ready"
