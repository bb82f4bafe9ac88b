# Run by `cmake --install`: writes the desktop entry for the prefix installed
# into (CMAKE_INSTALL_PREFIX as the install sees it, --prefix included), so
# that its Exec= is the installed program, found whether or not its folder is
# on the PATH, and its Path= the folder that holds the installed data files.
# file(INSTALL) puts DESTDIR in front by itself; the entry keeps naming the
# final place.
foreach(dir DATADIR BINDIR)
  set(${dir} "${KOLBET_INSTALL_${dir}}")
  if(NOT IS_ABSOLUTE "${${dir}}")
    set(${dir} "${CMAKE_INSTALL_PREFIX}/${${dir}}")
  endif()
endforeach()

# Exec= takes a program with blanks or shell characters only in double quotes,
# with " ` $ and \ escaped in them; then, as in every string of the entry, each
# backslash is written twice.
set(program "${BINDIR}/brivlo-kolbet")
if(program MATCHES "[] \t\n\"'\\\\><~|&;$*?#()`[]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" program "${program}")
  set(program "\"${program}\"")
endif()
string(REPLACE "\\" "\\\\" KOLBET_EXEC "${program}")
string(REPLACE "\\" "\\\\" KOLBET_DATA_PATH "${DATADIR}/brivlo-kolbet")

get_filename_component(name "${KOLBET_DESKTOP_TEMPLATE}" NAME_WLE)
configure_file("${KOLBET_DESKTOP_TEMPLATE}" "${KOLBET_DESKTOP_STAGE}/${name}" @ONLY)
file(INSTALL DESTINATION "${DATADIR}/applications" TYPE FILE FILES "${KOLBET_DESKTOP_STAGE}/${name}")
