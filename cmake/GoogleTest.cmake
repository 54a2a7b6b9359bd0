# Native builds use Debian's GoogleTest; cross builds compile it from the
# sources Debian ships, with the cross compiler (WebAssembly's without threads).
if(CMAKE_CROSSCOMPILING)
    set(gtest_disable_pthreads ${EMSCRIPTEN} CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
    find_package(GTest REQUIRED)
endif()
include(GoogleTest)
