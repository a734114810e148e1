# The Debian package, built by `cpack -G DEB` in the build folder (or the
# `package` target): everything `cmake --install` puts under /usr. Its
# dependencies are computed from the libraries the programs link
# (dpkg-shlibdeps), never listed by hand; the Qt translations that give Qt's own
# buttons and dialogs their French texts are loaded at run time, so they are
# only recommended.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varonel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Équipe Varonel")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Équipe Varonel <equipe@varonel.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "automatic mixer and two-deck player for DJs")
# CPack puts the summary first; this is the long description below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Varonel plays a playlist of WAV and MP3 files on the main sound output and
chains each track into the next a few seconds before its end, with a fade;
a second output carries pre-listening on headphones. It answers the
desktop's media keys.
.
VaronelPlayer is a two-deck player, each deck on its own sound output, with
cue points and pitch.
.
The interface is in French.")
include(CPack)
