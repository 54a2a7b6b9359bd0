# The floating point that plans leaf paths and turns leaves must round the
# same way on every build: no fast maths, no fused multiply-add, SSE2 rather
# than x87 on 32-bit x86. This holds for everything compiled. WebAssembly's
# floating point is IEEE's alone, though Emscripten calls its target x86.
add_compile_options(-ffp-contract=off -fno-fast-math)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$" AND NOT EMSCRIPTEN)
    add_compile_options(-msse2 -mfpmath=sse)
endif()
if(MINGW)
    # Runs on a bare Windows: no MinGW runtime DLLs beside the program.
    add_link_options(-static -static-libgcc -static-libstdc++)
endif()

# Hardening, as distributions expect of a package: a stack protector,
# fortified library calls, stack clash and control-flow protection where the
# compiler has them, position-independent programs with full RELRO on Linux,
# and address randomisation and a non-executable stack on Windows. None of
# it changes what the engine computes. The sanitizer presets turn it off:
# they check more than it does, and fortified calls hide some of their
# reports. A distribution's own flags come first and are kept. WebAssembly
# has none of it to give: its return addresses lie outside the memory a
# program writes, and it has no loader or address space to harden.
option(WENDREL_HARDENING "Harden the programs" ON)
if(WENDREL_HARDENING AND NOT EMSCRIPTEN)
    include(CheckCXXCompilerFlag)
    include(CheckPIESupported)
    set(hardening -fstack-protector-strong)
    # Windows probes every page of a large stack frame itself (__chkstk),
    # and MinGW's GCC 12 fails on stack clash protection with SEH; the
    # control-flow marks are for Linux's loader.
    set(optional -fstack-clash-protection -fcf-protection)
    if(MINGW)
        set(optional)
    endif()
    foreach(flag IN LISTS optional)
        string(MAKE_C_IDENTIFIER "WENDREL_HAS${flag}" has)
        check_cxx_compiler_flag(${flag} ${has})
        if(${has})
            list(APPEND hardening ${flag})
        endif()
    endforeach()
    add_compile_options(${hardening})
    # MinGW links the stack protector's runtime (libssp) only when the link
    # is told of it; with -static it goes into the program.
    add_link_options(-fstack-protector-strong)
    # The fortified calls need optimisation; a build type of None (a
    # distribution's) has whatever the caller's flags say, and a fortify
    # level of the caller's own is left as it is.
    if(NOT "${CMAKE_CXX_FLAGS}" MATCHES "_FORTIFY_SOURCE")
        if("${CMAKE_CXX_FLAGS}" MATCHES "(^| )-O([1-3sz]|fast)?( |$)")
            add_compile_definitions(_FORTIFY_SOURCE=2)
        else()
            add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
        endif()
    endif()
    if(MINGW)
        add_link_options(-Wl,--dynamicbase -Wl,--nxcompat)
        if(CMAKE_SIZEOF_VOID_P EQUAL 8)
            add_link_options(-Wl,--high-entropy-va)
        endif()
    else()
        check_pie_supported(LANGUAGES CXX)
        set(CMAKE_POSITION_INDEPENDENT_CODE ON)
        add_link_options(-Wl,-z,relro,-z,now)
    endif()
endif()

# Our warnings, on our own code only (wendrel_use_warnings gives them to
# every target of ours); errors where WENDREL_WERROR is on, as the presets
# and CI have it.
option(WENDREL_WERROR "Treat compiler warnings as errors" OFF)
add_library(wendrel_warnings INTERFACE)
target_compile_options(wendrel_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                                  -Wno-sign-conversion)
if(WENDREL_WERROR)
    target_compile_options(wendrel_warnings INTERFACE -Werror)
endif()

# Links wendrel_warnings into every compiled target defined in `dir` and the
# folders below it that belong to this source tree.
function(wendrel_use_warnings dir)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(NOT type MATCHES "^(INTERFACE_LIBRARY|UTILITY)$")
            target_link_libraries(${target} PRIVATE wendrel_warnings)
        endif()
    endforeach()
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(subdir IN LISTS subdirs)
        cmake_path(IS_PREFIX PROJECT_SOURCE_DIR ${subdir} NORMALIZE ours)
        if(ours)
            wendrel_use_warnings(${subdir})
        endif()
    endforeach()
endfunction()
