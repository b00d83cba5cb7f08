# Packages of the installed program (cpack in a build folder): a .tar.gz of the program folder,
# unpacked wherever the user likes, and a .deb with the folder at /opt/quittung and a menu entry.
set(CPACK_PACKAGE_NAME quittung)
set(CPACK_PACKAGE_VENDOR Quittung)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Deutsche Quittungen mit dem Betrag in Worten, als PDF, JPEG oder Ausdruck")
set(CPACK_PACKAGE_CONTACT "Quittung <quittung@example.org>")
set(CPACK_GENERATOR TGZ DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /)

# Each package takes its own components, chosen in the per-generator file, all in one package.
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PackageComponents.cmake)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What dpkg-shlibdeps cannot see: the templates' fonts, and the offscreen platform quittung-cli draws on.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-dejavu-core, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)

include(CPack)
