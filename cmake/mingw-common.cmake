# Shared part of the two MinGW-w64 toolchain files.
# The posix thread model: GoogleTest needs std::mutex, which the win32 model of GCC 12 lacks.
find_program(MNEMORA_CXX NAMES ${MNEMORA_TRIPLET}-g++-posix ${MNEMORA_TRIPLET}-g++ REQUIRED)
find_program(MNEMORA_CC NAMES ${MNEMORA_TRIPLET}-gcc-posix ${MNEMORA_TRIPLET}-gcc REQUIRED)
set(CMAKE_C_COMPILER ${MNEMORA_CC})
set(CMAKE_CXX_COMPILER ${MNEMORA_CXX})
set(CMAKE_RC_COMPILER ${MNEMORA_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MNEMORA_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Every test binary runs through this wrapper, which sets up the private Wine prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec.sh)
