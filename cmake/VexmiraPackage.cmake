# SPDX-License-Identifier: MIT
# The Debian package: `cpack -G DEB` in a build folder; scripts/package builds a fresh tree
# without the tests, makes the package and runs lintian on it. The package is native (its
# version is the project's), so its changelog is installed as changelog.gz.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vexmira)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vexmira developers")
set(CPACK_PACKAGE_CONTACT "The Vexmira developers <vexmira@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "notifier for new mail in one webmail account")
set(CPACK_PACKAGE_DESCRIPTION [[
Vexmira logs into one webmail account with a form, reads the mailbox page and
tells you about new mail through its icon in the notification area and its
tooltip, a sound, a message box or its Messages window, where messages can be
previewed and deleted; then it logs out. It checks by itself every few
minutes and reaches the service through an HTTP proxy, with Basic proxy
authentication if needed.

The package also holds vexmira-webmail, an emulation of the webmail service
for trying the program out, and two small tools: vexmira-httpget makes one
HTTP request with the program's own client and vexmira-scanpage shows what
the program reads from a saved mailbox page.]])

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vexmira.example/)
# The Qt libraries come from the programs' links; the platform plugins are loaded at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
# Qt's own texts (dialog buttons) in the languages the interface speaks.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
