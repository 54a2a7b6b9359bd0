# Warnings are errors, and the floating point that plans leaf paths and
# turns leaves must round the same way on every build: no fast maths, no
# fused multiply-add, SSE2 rather than x87 on 32-bit x86.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion -Werror)
add_compile_options(-ffp-contract=off -fno-fast-math)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$")
    add_compile_options(-msse2 -mfpmath=sse)
endif()
if(MINGW)
    # Runs on a bare Windows: no MinGW runtime DLLs beside the program.
    add_link_options(-static -static-libgcc -static-libstdc++)
endif()
