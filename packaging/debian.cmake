# The Debian package (`make package`): CPack's DEB generator over the
# project's own install rules, so the package holds exactly what
# `cmake --install` installs. Included from the top-level CMakeLists.txt.

include(GNUInstallDirs)
set(NORVANE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/norvane)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${NORVANE_DOC_DIR})
# The lintian tags the package keeps, each with its reason.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME norvane)
# The project builds its own package, so it is a native one: changelog.gz.
# Its newest entry names the version below (the project's).
norvane_install_gzipped(${CMAKE_CURRENT_LIST_DIR}/changelog ${NORVANE_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME norvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Norvane maintainers <maintainers@users.noreply.c-seed-0e104728.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Japanese phrase search in Shift-JIS text files")
# The summary line is put before it.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Norvane searches plain text files (Shift-JIS, UTF-8, EUC-JP, UTF-16)\n"
  "for a phrase and is made for Japanese prose: a line is a hit when the\n"
  "phrase begins in it, also when the phrase runs on across the line break,\n"
  "and the leading ideographic spaces of a wrapped line are ignored.\n"
  "\n"
  "The package holds the Norvane program, with its windows for choosing the\n"
  "files, reading the listing and viewing a file with its hits marked, and\n"
  "norvane-search, the same search on the command line.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps; the fonts the windows ask for are
# no library, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
set(CPACK_STRIP_FILES ON)
# A stripped program still carries the compiler's .comment section, which
# Debian's own packages drop (dh_strip). The programs' install rules, in cli/
# and ui/, have run and stripped them by the time this one runs.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program Norvane norvane-search)
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()
")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
