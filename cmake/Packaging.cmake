# The Debian package, made by CPack from the build folder's installation:
# `cmake --build build --target package` (or `make package`).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ferrovane)
set(CPACK_PACKAGE_VENDOR "The Ferrovane developers")
set(CPACK_PACKAGE_CONTACT "The Ferrovane developers <developers@ferrovane.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "watch folders, SMB shares and FTP servers for changes")
# Lines of at most 80 characters, as Debian's control file wants them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Ferrovane catalogs local folders, SMB shares and FTP servers to the depth"
    "chosen for each, and at every rescan marks what is new, modified or deleted"
    "until it is marked viewed. It checks which servers are online, rescans on a"
    "schedule, searches the whole catalog, and downloads with resume. It comes as"
    "a desktop program (Qt 6), a command-line program and a user service.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://ferrovane.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
if(FERROVANE_GUI)
    # Qt loads the SVG icons through plugins that no program links.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS libqt6svg6)
endif()
include(CPack)
