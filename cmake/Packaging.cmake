# The Debian package: `cpack -G DEB` in the build folder makes albisko_<version>_<arch>.deb
# from what `cmake --install` installs, under /usr.
set(CPACK_PACKAGE_NAME albisko)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Albisko)
set(CPACK_PACKAGE_CONTACT "Albisko <albisko@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "captions for the photos of a web photo album")
# Lines of the long description stay under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Albisko is a small desktop program, in Czech, for writing captions for a
folder of JPEG photos that is published as a web photo album. The captions
are kept in info.txt beside the photos, where the web gallery reads them.")
# The DEB generator installs with DESTDIR, so the install rules see /usr as the prefix (the
# desktop entry names the launcher by its installed path).
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://example.org/albisko)
# Depends comes from the libraries the program links (dpkg-shlibdeps, package dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Used at run time when present: the Czech spelling dictionary, Qt's own Czech texts, and
# xdg-open, through which the help (F1) and the links of the about window open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hunspell-cs, qt6-translations-l10n, xdg-utils")

include(CPack)
