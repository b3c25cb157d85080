# Sourced by the scripts that run Windows programs: chooses the Wine loader and quiets Wine.
# Where the machine runs 32-bit Linux programs, "wine" runs both builds; where the kernel refuses
# them (some virtual machines), only the 64-bit loader works and 32-bit programs cannot run.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    MNEMORA_WINE=wine
    MNEMORA_CAN_RUN_32BIT=1
else
    MNEMORA_WINE=/usr/lib/wine/wine64
    export WINELOADER=/usr/lib/wine/wine64
    MNEMORA_CAN_RUN_32BIT=0
fi
export WINEDEBUG=${MNEMORA_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
