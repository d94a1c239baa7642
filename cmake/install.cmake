# Install layout (GNU directories) and the packages made from it by CPack.
# pendra runs the pendcal next to it: both go to bin (on Windows, to the top
# of the ZIP).
if(WIN32)
  set(PENDRA_BINDIR .)
else()
  set(PENDRA_BINDIR ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS pendcal RUNTIME DESTINATION ${PENDRA_BINDIR})
if(PENDRA_GUI)
  install(TARGETS pendra RUNTIME DESTINATION ${PENDRA_BINDIR})
endif()

# The documents keep the README's layout, so that its links work: README and
# LICENSE at the top, the rest in docs/, the example files in examples/.
set(PENDRA_TOP_DOCS ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE)
file(GLOB PENDRA_DOCS ${CMAKE_SOURCE_DIR}/docs/*.md ${CMAKE_SOURCE_DIR}/docs/*.png)
file(GLOB PENDRA_EXAMPLES ${CMAKE_SOURCE_DIR}/examples/*.pnd)

# Man pages and the changelog are installed gzipped, as Debian wants them,
# when gzip is there.
find_program(PENDRA_GZIP gzip)
mark_as_advanced(PENDRA_GZIP)
function(pendra_install_gzipped source destination)
  get_filename_component(name ${source} NAME)
  if(PENDRA_GZIP)
    set(gz ${CMAKE_BINARY_DIR}/gz/${name}.gz)
    add_custom_command(OUTPUT ${gz} DEPENDS ${source}
                       COMMAND ${CMAKE_COMMAND} -E copy ${source} ${CMAKE_BINARY_DIR}/gz/${name}
                       COMMAND ${PENDRA_GZIP} -9nf ${CMAKE_BINARY_DIR}/gz/${name} VERBATIM)
    string(MAKE_C_IDENTIFIER "gz_${name}" target)
    add_custom_target(${target} ALL DEPENDS ${gz})
    set(source ${gz})
  endif()
  install(FILES ${source} DESTINATION ${destination})
endfunction()

if(WIN32)
  # The ZIP holds the programs at its top, beside the documents.
  install(FILES ${PENDRA_TOP_DOCS} DESTINATION .)
  install(FILES ${PENDRA_DOCS} DESTINATION docs)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/third-party-notices-windows.txt
          DESTINATION . RENAME THIRD-PARTY-NOTICES.txt)
  install(FILES ${PENDRA_EXAMPLES} DESTINATION examples)
else()
  install(FILES ${PENDRA_TOP_DOCS} DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES ${PENDRA_DOCS} DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)
  install(FILES ${PENDRA_EXAMPLES} DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
  pendra_install_gzipped(${CMAKE_SOURCE_DIR}/packaging/changelog ${CMAKE_INSTALL_DOCDIR})
  pendra_install_gzipped(${CMAKE_SOURCE_DIR}/docs/man/pendcal.1 ${CMAKE_INSTALL_MANDIR}/man1)
  install(DIRECTORY editors/vim/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vim/vimfiles)
  if(PENDRA_GUI)
    pendra_install_gzipped(${CMAKE_SOURCE_DIR}/docs/man/pendra.1 ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES packaging/pendra.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES packaging/pendra.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  endif()
endif()

set(CPACK_PACKAGE_NAME pendra)
set(CPACK_PACKAGE_VENDOR "The Pendra developers")
set(CPACK_PACKAGE_CONTACT "The Pendra developers <pendra@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "personal reminder calendar")
set(CPACK_PACKAGE_DESCRIPTION
    "pendcal reads a plain-text reminder file and prints the reminders that fall
on each day of a window around a date; Scheme expressions in the file can
compute dates and add words to the reminder language. pendra is a small window
that runs pendcal for a picked date and lists its report.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://localhost/pendra")
# Debian keeps the license text in /usr/share/doc/PACKAGE/copyright.
set(PENDRA_COPYRIGHT ${CMAKE_BINARY_DIR}/copyright)
file(READ ${CMAKE_SOURCE_DIR}/LICENSE PENDRA_LICENSE_TEXT)
string(REGEX REPLACE "\n\n" "\n.\n" PENDRA_LICENSE_DEB "${PENDRA_LICENSE_TEXT}")
string(REGEX REPLACE "\n([^\n])" "\n \\1" PENDRA_LICENSE_DEB "${PENDRA_LICENSE_DEB}")
file(WRITE ${PENDRA_COPYRIGHT}
     "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
     "Upstream-Name: pendra\n\nFiles: *\nCopyright: 2026 The Pendra developers\n"
     "License: MIT\n ${PENDRA_LICENSE_DEB}")
if(NOT WIN32)
  install(FILES ${PENDRA_COPYRIGHT} DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

if(WIN32)
  set(CPACK_PACKAGE_FILE_NAME pendra-${PROJECT_VERSION}-windows-x86_64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  # A plain "cpack -G DEB" in the build folder writes BUILD/packages/*.deb,
  # where the README and tools/check-deb.sh look for it.
  set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
endif()
set(CPACK_RPM_PACKAGE_LICENSE MIT)
include(CPack)
