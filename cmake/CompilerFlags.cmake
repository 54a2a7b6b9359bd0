# The floating point that plans leaf paths and turns leaves must round the
# same way on every build: no fast maths, no fused multiply-add, SSE2 rather
# than x87 on 32-bit x86. This holds for everything compiled.
add_compile_options(-ffp-contract=off -fno-fast-math)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$")
    add_compile_options(-msse2 -mfpmath=sse)
endif()
if(MINGW)
    # Runs on a bare Windows: no MinGW runtime DLLs beside the program.
    add_link_options(-static -static-libgcc -static-libstdc++)
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
