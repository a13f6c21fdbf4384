# The Debian package, made with `cpack -G DEB` in the build folder from what
# `cmake --install` installs under /usr. Its library dependencies are
# computed from the installed programs by dpkg-shlibdeps (Debian dpkg-dev).
set(LORIVANE_MAINTAINER "Lorivane developers <maintainers@lorivane.org>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lorivane)
set(CPACK_PACKAGE_VENDOR "Lorivane developers")
set(CPACK_PACKAGE_HOMEPAGE_URL "${LORIVANE_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for SPSS system files (.sav, .zsav)")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
     "Lorivane shows an SPSS system file: a summary of the file, its variable"
     "dictionary, each variable's value labels and missing values, and every"
     "case in a grid that exports to a text file. Its windows are in Japanese."
     "It reads data files with its own reader and never writes them."
     ""
     "The package also holds lorivane-dump, which prints the same texts in a"
     "terminal.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${LORIVANE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(LORIVANE_GUI)
  # Qt loads its platform plugins (xcb, wayland) at run time, so no library
  # dependency names them. Every window's text is Japanese, so a Japanese
  # font is needed (without one each character is a box). The translations
  # make Qt's dialogs Japanese and the other fonts draw the other scripts a
  # file may hold; both are recommended.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic | fonts-japanese-gothic")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
      "qt6-translations-l10n, fonts-noto-core, fonts-wqy-microhei, fonts-noto-color-emoji")
endif()

# Debian keeps a package's changelog beside its copyright file, compressed.
set(LORIVANE_CHANGELOG_DATE "Tue, 08 Dec 2026 00:00:00 +0000"
    CACHE STRING "The day of the release, as the Debian changelog writes it")
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.Debian.in changelog.Debian @ONLY)
execute_process(COMMAND gzip -9nc changelog.Debian
                WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
                OUTPUT_FILE ${CMAKE_BINARY_DIR}/changelog.Debian.gz
                RESULT_VARIABLE gzipped)
if(NOT gzipped EQUAL 0)
  message(FATAL_ERROR "gzip could not compress the Debian changelog")
endif()
install(FILES ${CMAKE_BINARY_DIR}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

include(CPack)
