# Sourced by the scripts that run Windows programs: chooses the Wine loader and quiets Wine.
# Where the machine runs 32-bit Linux programs, "wine" runs both builds; where the kernel refuses
# them (some virtual machines), only the 64-bit loader works and 32-bit programs cannot run.
# The check starts the 32-bit loader once; what it says when it cannot start is kept for the
# test command's one line.
if MNEMORA_32BIT_REFUSAL=$(/usr/lib/wine/wine --version 2>&1 >/dev/null); then
    MNEMORA_WINE=wine
    MNEMORA_CAN_RUN_32BIT=1
else
    MNEMORA_WINE=/usr/lib/wine/wine64
    export WINELOADER=/usr/lib/wine/wine64
    MNEMORA_CAN_RUN_32BIT=0
    MNEMORA_32BIT_REFUSAL=${MNEMORA_32BIT_REFUSAL:-the 32-bit loader is missing}
fi
export WINEDEBUG=${MNEMORA_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
