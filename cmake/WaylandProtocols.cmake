# The Wayland protocols the saver speaks beyond the core one, generated at
# build time by wayland-scanner from the XML the system's packages carry:
# xdg-shell and viewporter from wayland-protocols, layer-shell and virtual
# pointer (for the tests) from the wlr-protocols that Debian ships inside
# librust-wayland-protocols-dev.
find_package(PkgConfig REQUIRED)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)

find_program(WAYLAND_SCANNER wayland-scanner)
if(NOT WAYLAND_SCANNER)
    message(FATAL_ERROR "wayland-scanner not found: install libwayland-bin")
endif()
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
if(NOT WAYLAND_PROTOCOLS_DIR OR NOT EXISTS "${WAYLAND_PROTOCOLS_DIR}/stable/xdg-shell/xdg-shell.xml")
    message(FATAL_ERROR "the xdg-shell and viewporter protocols were not found: "
                        "install wayland-protocols")
endif()
set(WENDREL_XDG_SHELL_XML "${WAYLAND_PROTOCOLS_DIR}/stable/xdg-shell/xdg-shell.xml")
set(WENDREL_VIEWPORTER_XML "${WAYLAND_PROTOCOLS_DIR}/stable/viewporter/viewporter.xml")

# The newest wlr-protocols copy wins when several versions are installed.
file(GLOB wlr_dirs LIST_DIRECTORIES true
     "/usr/share/cargo/registry/wayland-protocols-*/wlr-protocols/unstable")
list(SORT wlr_dirs COMPARE NATURAL ORDER DESCENDING)
set(WENDREL_WLR_PROTOCOLS_DIR "" CACHE PATH
    "Folder of wlr-layer-shell-unstable-v1.xml (found when empty)")
if(NOT WENDREL_WLR_PROTOCOLS_DIR)
    foreach(dir IN LISTS wlr_dirs)
        if(EXISTS "${dir}/wlr-layer-shell-unstable-v1.xml")
            set(WENDREL_WLR_PROTOCOLS_DIR "${dir}" CACHE PATH
                "Folder of wlr-layer-shell-unstable-v1.xml (found when empty)" FORCE)
            break()
        endif()
    endforeach()
endif()
if(NOT EXISTS "${WENDREL_WLR_PROTOCOLS_DIR}/wlr-layer-shell-unstable-v1.xml")
    message(FATAL_ERROR "wlr-layer-shell-unstable-v1.xml not found under "
                        "/usr/share/cargo/registry/wayland-protocols-*/wlr-protocols/unstable: "
                        "install librust-wayland-protocols-dev, or set WENDREL_WLR_PROTOCOLS_DIR")
endif()
set(WENDREL_LAYER_SHELL_XML "${WENDREL_WLR_PROTOCOLS_DIR}/wlr-layer-shell-unstable-v1.xml")
set(WENDREL_VIRTUAL_POINTER_XML "${WENDREL_WLR_PROTOCOLS_DIR}/wlr-virtual-pointer-unstable-v1.xml")

# wendrel_wayland_protocol(TARGET NAME XML): NAME-client-protocol.h (in the
# build tree's wayland-protocols folder, on TARGET's include path) and its
# glue code, compiled into TARGET. The generated code is not ours: our
# warnings stay off it.
function(wendrel_wayland_protocol target name xml)
    set(dir ${CMAKE_BINARY_DIR}/wayland-protocols)
    set(header ${dir}/${name}-client-protocol.h)
    set(code ${dir}/${name}-protocol.c)
    add_custom_command(OUTPUT ${header}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
                       COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${header}
                       COMMAND ${CMAKE_COMMAND} -DHEADER=${header}
                               -P ${PROJECT_SOURCE_DIR}/cmake/WaylandHeaderForCxx.cmake
                       DEPENDS ${xml} ${PROJECT_SOURCE_DIR}/cmake/WaylandHeaderForCxx.cmake
                       VERBATIM)
    add_custom_command(OUTPUT ${code}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
                       COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${code}
                       DEPENDS ${xml} VERBATIM)
    set_source_files_properties(${code} PROPERTIES COMPILE_OPTIONS "-w")
    target_sources(${target} PRIVATE ${header} ${code})
    target_include_directories(${target} PUBLIC ${dir})
endfunction()
