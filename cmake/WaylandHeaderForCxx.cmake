# cmake -DHEADER=FILE -P WaylandHeaderForCxx.cmake: wayland-scanner names
# arguments after the XML (layer-shell has one called "namespace"), which
# C++ cannot compile; such a name is given another spelling in place.
file(READ "${HEADER}" text)
string(REGEX REPLACE "([ *(,])namespace([,)])" "\\1name_space\\2" text "${text}")
file(WRITE "${HEADER}" "${text}")
