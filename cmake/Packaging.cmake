# Installing and packaging: the install rules live in dist/, and CPack turns what they install
# into one Debian package, tovrin_<version>_<arch>.deb (cpack -G DEB in the build directory).
if(NOT TOVRIN_GUI)
    return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tovrin)
set(CPACK_PACKAGE_VENDOR Tovrin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tovrin maintainers <maintainers@tovrin.org>" CACHE STRING
    "The package's Maintainer field")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reminder program that lives in the notification area")
# Lines under 80 columns, as the package tools show them; an empty line starts a paragraph.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Tovrin keeps a list of short reminders: once at a given minute, daily at a\n"
    "time, monthly, yearly or on a plain date. When a timed reminder's minute\n"
    "comes, its text pops up in a journal window at the bottom right of the\n"
    "screen; dated reminders due today or within the next few days are listed\n"
    "at start-up and on request from the tray icon's menu.\n"
    "\n"
    "Each user's reminders, settings and texts live in their own data folder,\n"
    "~/.local/share/tovrin/Base, which installing, upgrading and removing the\n"
    "package never touch. The command tovrin-cli lists and checks them from a\n"
    "terminal, and tovrin-autostart starts Tovrin at login.")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tovrin.org/")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

# tovrin_<version>_<arch>.deb, the architecture as dpkg names this machine's.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# The libraries come from dpkg-shlibdeps. What it cannot see: Qt loads its X11 platform plugin at
# run time (without it the program cannot start), and the windows were laid out for metrics that
# only the Liberation fonts reproduce. Opening the help and the web address goes through
# xdg-open: the program says so when it cannot, and everything else works without it, so it is
# recommended. Help.chm opens in a CHM viewer that xdg-open knows; without one the help's pages
# open as HTML in the browser.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xchm | kchmviewer")

# After the package's names, which the documents in dist/ repeat.
add_subdirectory(dist)

# Only the binary package: a source archive of this tree would sweep up every build directory.
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
