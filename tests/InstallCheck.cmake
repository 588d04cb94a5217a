# Installs the build under a scratch prefix and checks what lands there: the program, its
# desktop entry (valid, starting the installed program) and its icon. Run by ctest as
#   cmake -DBUILD_DIR=<build> -DPREFIX=<scratch> -P InstallCheck.cmake
# The build's own install_manifest.txt (the list an uninstall removes) is kept as it was.
set(manifest "${BUILD_DIR}/install_manifest.txt")
set(kept "${PREFIX}-manifest.txt")
file(REMOVE_RECURSE "${PREFIX}")
if(EXISTS "${manifest}")
  file(COPY_FILE "${manifest}" "${kept}")
endif()
# Installed as the README says: stripped.
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --strip --prefix "${PREFIX}"
                RESULT_VARIABLE installed OUTPUT_QUIET)
if(EXISTS "${kept}")
  file(RENAME "${kept}" "${manifest}")
else()
  file(REMOVE "${manifest}")
endif()
if(NOT installed EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${installed}")
endif()

set(entry "${PREFIX}/share/applications/corvane.desktop")
# Stripped: no debugging sections left in the installed program.
if(EXISTS "${PREFIX}/bin/corvane")
  execute_process(COMMAND readelf -S "${PREFIX}/bin/corvane" OUTPUT_VARIABLE sections ERROR_QUIET)
  if(sections MATCHES "\\.debug_info")
    message(FATAL_ERROR "the installed program still carries its debugging symbols")
  endif()
endif()
foreach(file "${PREFIX}/bin/corvane" "${entry}" "${PREFIX}/share/icons/hicolor/scalable/apps/corvane.svg")
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# A prefix with a space is quoted, as desktop entries ask.
set(expected "${PREFIX}/bin/corvane")
if(PREFIX MATCHES " ")
  set(expected "\"${expected}\"")
endif()
file(STRINGS "${entry}" exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=${expected}")
  message(FATAL_ERROR "the entry starts ${exec}, not the installed program")
endif()

find_program(VALIDATE desktop-file-validate REQUIRED)
execute_process(COMMAND "${VALIDATE}" "${entry}" RESULT_VARIABLE valid OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT valid EQUAL 0 OR NOT said STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate: ${said}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
