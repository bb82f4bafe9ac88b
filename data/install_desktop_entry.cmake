# Run by `cmake --install`: writes the desktop entry for the prefix installed
# into (CMAKE_INSTALL_PREFIX as the install sees it, --prefix included), so its
# Path= is the folder that holds the installed data files. file(INSTALL) puts
# DESTDIR in front by itself, and the entry keeps naming the final place.
set(datadir "${KOLBET_INSTALL_DATADIR}")
if(NOT IS_ABSOLUTE "${datadir}")
  set(datadir "${CMAKE_INSTALL_PREFIX}/${datadir}")
endif()
# A backslash is the one character a desktop-entry string must escape.
string(REPLACE "\\" "\\\\" KOLBET_DATA_PATH "${datadir}/brivlo-kolbet")
get_filename_component(name "${KOLBET_DESKTOP_TEMPLATE}" NAME_WLE)
configure_file("${KOLBET_DESKTOP_TEMPLATE}" "${KOLBET_DESKTOP_STAGE}/${name}" @ONLY)
file(INSTALL DESTINATION "${datadir}/applications" TYPE FILE FILES "${KOLBET_DESKTOP_STAGE}/${name}")
