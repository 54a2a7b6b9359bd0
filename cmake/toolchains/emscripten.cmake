# WebAssembly with Debian's Emscripten, which compiles with Debian's clang,
# lld and binaryen: nothing is fetched.
find_program(WENDREL_NODE NAMES node nodejs REQUIRED)
# Node's own fetch would take the .wasm file's path for an address.
set(CMAKE_CROSSCOMPILING_EMULATOR ${WENDREL_NODE} --no-experimental-fetch)
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
# em++ runs JavaScript tools that need Debian's node modules (acorn), which
# this machine's node may not look for.
set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
set(CMAKE_C_COMPILER_LAUNCHER ${CMAKE_CXX_COMPILER_LAUNCHER})
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_CXX_COMPILER_LAUNCHER})
# The engine's tests hold several frames at once: more than the 16 MiB a
# module starts with.
set(CMAKE_EXE_LINKER_FLAGS_INIT -sALLOW_MEMORY_GROWTH=1)
