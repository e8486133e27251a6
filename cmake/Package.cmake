# Packages made by CPack from the install rules: a Debian package on Linux (cpack -G DEB in a
# Release build; scripts/package.sh), a zip of the install folder on Windows.

set(CPACK_PACKAGE_NAME kestrune)
set(CPACK_PACKAGE_VENDOR "The Kestrune developers")
set(CPACK_PACKAGE_CONTACT "The Kestrune developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "copies the music of iPod-family players to the computer")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Kestrune reads the track database of an iPod-family player, shows its tracks\n"
    "beside lists of their artists, albums and file types, and copies the tracks you\n"
    "pick to a folder, each named after its title, with a report of what became of\n"
    "every track. It never writes to the player. kestrune-cli lists and copies from\n"
    "the command line.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
    set(CPACK_GENERATOR DEB)
endif()

# kestrune_VERSION_ARCH.deb
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The libraries the programs link are found by dpkg-shlibdeps. Qt's platform plugins are
# loaded at run time, so it cannot see them: without them the window cannot open.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The skin's fonts; Qt's Wayland plugin, for a desktop without XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, fonts-dejavu-extra")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-wayland")
if(KESTRUNE_WEB_ADDRESS)
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KESTRUNE_WEB_ADDRESS}")
endif()

include(CPack)
