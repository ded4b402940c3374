# `make package`: one Debian package of both programs, their modules, help,
# machine store, desktop files and manual pages. The version is the project's
# (CMakeLists.txt), the same one `--version`, the rip log and AppStream give.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tesslow)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tesslow developers")
set(CPACK_PACKAGE_CONTACT "Tesslow developers <support@tesslow.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "audio CD ripper with exact reading and tagged files")
set(CPACK_PACKAGE_DESCRIPTION
    "Tesslow finds the drive that holds an audio CD, reads its table of
contents, names the disc from its title cache or the MusicBrainz web service
and rips the chosen tracks with jitter-corrected reading into WAV, MP3, WMA,
Ogg Vorbis, Monkey's Audio or FLAC files, one tagged file per track. Rips are
checked against the AccurateRip database and leave a log and a CUE sheet.
.
This package holds the desktop wizard (tesslow) and the command-line ripper
(tesslow-rip).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# Install with DESTDIR, so that the machine store's absolute /etc path lands
# in the package rather than on the building machine.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TESSLOW_HOME_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt finds its display plugins at run time; the library scan cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The modules are loaded by path at run time; the scan must still see their
# libraries (LAME, FFmpeg's codecs).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${TESSLOW_MODULE_OUTPUT_DIRECTORY})
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/resources/package/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
