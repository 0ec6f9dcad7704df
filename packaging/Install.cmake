# Install rules and the Debian package. Included at the end of the top CMakeLists.txt, so that
# it sees every program that the folders defined.
#
# The programs read every data file by a path relative to the working directory, so they and
# Data/ stay together in one folder of their own (KW27_INSTALL_DIR); the menu entry and the
# command `chimelab` start Chimelab inside it. Menu entry, icons, command and manual page go
# under the prefix as usual (/usr/local by `cmake --install`, /usr in the package).

include(GNUInstallDirs)

set(KW27_INSTALL_DIR "/opt/kw27" CACHE PATH
    "Absolute folder that receives the programs and Data/ (the menu entry and the command point there)")
if(NOT IS_ABSOLUTE "${KW27_INSTALL_DIR}")
  message(FATAL_ERROR "KW27_INSTALL_DIR must be an absolute path, not '${KW27_INSTALL_DIR}'")
endif()

set(KW27_DESKTOP_ID "kw27-chimelab")
set(_pkg "${CMAKE_CURRENT_BINARY_DIR}/packaging")

install(TARGETS Chimelab Triplay RUNTIME DESTINATION "${KW27_INSTALL_DIR}")
# OpenAL Soft's settings for the programs (short mixing periods), read from their folder.
install(FILES platform/sound/alsoft.conf DESTINATION "${KW27_INSTALL_DIR}")

# Whatever the build put into the output Data folder: generated sounds and clips and the
# manual. The install runs after the build, so the folder is complete by then.
install(DIRECTORY "${KW27_DATA_DIR}/" DESTINATION "${KW27_INSTALL_DIR}/Data")

configure_file(packaging/chimelab.in "${_pkg}/chimelab" @ONLY)
install(PROGRAMS "${_pkg}/chimelab" DESTINATION "${CMAKE_INSTALL_BINDIR}")

configure_file(packaging/kw27-chimelab.desktop.in "${_pkg}/${KW27_DESKTOP_ID}.desktop" @ONLY)
install(FILES "${_pkg}/${KW27_DESKTOP_ID}.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")

# The icon theme's sizes, drawn from the same figure as the window icon.
set(_icon_sizes 16 22 24 32 48 64 128 256)
set(_icon_files)
foreach(n ${_icon_sizes})
  list(APPEND _icon_files "${_pkg}/icons/${n}x${n}/apps/${KW27_DESKTOP_ID}.png")
endforeach()
add_custom_command(
  OUTPUT ${_icon_files}
  COMMAND kw27_icongen "${_pkg}/icons" "${KW27_DESKTOP_ID}" ${_icon_sizes}
  DEPENDS kw27_icongen
  COMMENT "Drawing the menu icons"
  VERBATIM)
add_custom_target(kw27_icons ALL DEPENDS ${_icon_files})
install(DIRECTORY "${_pkg}/icons/" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor")

# Debian wants manual pages compressed, reproducibly (-n: no name or time stamp).
find_program(KW27_GZIP gzip REQUIRED)
configure_file(packaging/chimelab.1.in "${_pkg}/chimelab.1" @ONLY)
add_custom_command(
  OUTPUT "${_pkg}/chimelab.1.gz"
  COMMAND "${KW27_GZIP}" -9nc "${_pkg}/chimelab.1" > "${_pkg}/chimelab.1.gz"
  DEPENDS "${_pkg}/chimelab.1"
  VERBATIM)
add_custom_target(kw27_manpage ALL DEPENDS "${_pkg}/chimelab.1.gz")
install(FILES "${_pkg}/chimelab.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")

# The package's change log, whose top entry must name the version being built.
file(STRINGS "${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog" _top LIMIT_COUNT 1)
if(NOT _top MATCHES "^kw27 \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog starts with '${_top}': add an entry for ${PROJECT_VERSION}")
endif()
add_custom_command(
  OUTPUT "${_pkg}/changelog.gz"
  COMMAND "${KW27_GZIP}" -9nc "${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog" > "${_pkg}/changelog.gz"
  DEPENDS packaging/changelog
  VERBATIM)
add_custom_target(kw27_changelog ALL DEPENDS "${_pkg}/changelog.gz")
install(FILES "${_pkg}/changelog.gz" DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/kw27")
install(FILES packaging/lintian-overrides RENAME kw27
        DESTINATION "${CMAKE_INSTALL_DATADIR}/lintian/overrides")

if(KW27_BUILD_TESTS)
  add_test(NAME Install.Layout
           COMMAND "${CMAKE_COMMAND}" "-DBUILD_DIR=${CMAKE_BINARY_DIR}"
                   "-DSTAGE=${CMAKE_BINARY_DIR}/install-test" "-DINSTALL_DIR=${KW27_INSTALL_DIR}"
                   "-DPROGRAMS=Chimelab,Triplay" "-DDESKTOP_ID=${KW27_DESKTOP_ID}"
                   "-DMANUAL=${PROJECT_SOURCE_DIR}/Data/マニュアル/KW-27ヘルプ.html"
                   -P "${CMAKE_CURRENT_SOURCE_DIR}/packaging/InstallLayoutTest.cmake")
endif()

# The Debian package: `cpack` in the build folder writes kw27_<version>_<arch>.deb.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "kw27")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "KW-27 project")
set(KW27_PACKAGE_MAINTAINER
    "Seed b0feb6a9 maintainers <maintainers@users.noreply.c-seed-b0feb6a9.example>"
    CACHE STRING "Maintainer field of the Debian package: name <address>")
set(CPACK_PACKAGE_CONTACT "${KW27_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pipe chime design software for the classroom")
set(CPACK_PACKAGE_DESCRIPTION
    "KW-27 (パイプチャイム制作･設計ソフト) is classroom software for a junior-high technology
lesson in which every pupil designs and builds a chime of three metal pipes.
Chimelab lets a pupil hear how a pipe's sound changes with its length, hear the
eight pipes of a C major scale, write and play a tune on a pipe keyboard and
fill in, print and save the design sheet (仕様書) of the chime. From Chimelab
the pupil starts Triplay, where any three pipes ring together.

Everything on screen is Japanese.")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "education")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# Libraries come from dpkg-shlibdeps where it is installed (dpkg-dev). Named here: what the
# programs load at run time without linking it: Qt's display plugins, OpenAL Soft itself (loaded
# on first use, so dpkg-shlibdeps cannot see it) and its sound backends (silence without them),
# the Japanese dialog texts, the fonts that stand in for the Windows fonts, and xdg-open for the
# manual.
find_program(KW27_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KW27_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  message(STATUS "dpkg-shlibdeps not found: the package names its libraries by hand")
  set(_libs "libqt6widgets6 (>= 6.4), libqt6printsupport6 (>= 6.4), libsamplerate0, libxcb1, ")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "${_libs}qt6-qpa-plugins, libopenal1, libpulse0 | libasound2, qt6-translations-l10n, fonts-ipafont-gothic, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "www-browser")
# Menu and icon caches are refreshed by the triggers of desktop-file-utils and
# hicolor-icon-theme, so the package needs no maintainer scripts.
include(CPack)
