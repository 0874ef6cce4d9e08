# The Debian package: cpack -G DEB in a build folder.
set(CPACK_PACKAGE_NAME corvane-splitter)
set(CPACK_PACKAGE_VENDOR Corvane)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "file splitter with a Simplified Chinese interface")
set(CPACK_PACKAGE_DESCRIPTION
    "Cuts a file into numbered pieces of a chosen size and writes a one-line batch\n\
script beside them; its Merge command joins the pieces back byte for byte.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER Corvane)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Library dependencies come from dpkg-shlibdeps; the fonts are what the captions need.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs and buttons in Chinese.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, fonts-arphic-ukai, xdg-utils")
include(CPack)
