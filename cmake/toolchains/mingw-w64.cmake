# Cross build for Windows with MinGW-w64's posix thread model, which has
# std::thread (the default win32 model of GCC 12 does not), for the target
# triplet WENDREL_MINGW_TRIPLET; mingw-i686.cmake and mingw-x86_64.cmake set it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${WENDREL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${WENDREL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${WENDREL_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${WENDREL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../../scripts/wine-run.sh)
