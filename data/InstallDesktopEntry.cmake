# Run by `cmake --install`: writes the desktop entry with an Exec that names the installed program
# by its full path, quoted and escaped as desktop entries ask when the path holds a space or
# another reserved character, so that menus start it from any prefix.
# Expects TEMPLATE, STAGED, BINDIR and DATADIR, and the install's CMAKE_INSTALL_PREFIX.
set(program "${CMAKE_INSTALL_PREFIX}/${BINDIR}/corvane")
string(REPLACE "%" "%%" exec "${program}")
if(program MATCHES "[] \t\n\"'\\><~|&;$*?#()`[]")
  string(REGEX REPLACE "([\"`$\\])" "\\\\\\1" exec "${exec}")
  set(exec "\"${exec}\"")
endif()
# The entry's own string escape comes on top of the quoting.
string(REPLACE "\\" "\\\\" CORVANE_EXEC "${exec}")
configure_file("${TEMPLATE}" "${STAGED}" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${DATADIR}/applications" TYPE FILE FILES "${STAGED}")
