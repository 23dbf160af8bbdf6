# SPDX-License-Identifier: MIT
# The Debian packages: `cpack -G DEB` in a build folder; scripts/package builds a fresh tree
# without the tests, makes the packages and runs lintian and its own checks on them. They are
# native (their version is the project's), so each changelog is installed as changelog.gz.
#   vexmira          the notifier a user runs
#   vexmira-gateway  the webmail emulation and IMAP gateway, with its systemd user service
#   vexmira-tools    vexmira-httpget and vexmira-scanpage, for testing and looking into pages
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${VEXMIRA_COMPONENTS})
set(CPACK_PACKAGE_NAME vexmira)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vexmira developers")
set(CPACK_PACKAGE_CONTACT "The Vexmira developers <vexmira@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_NOTIFIER_PACKAGE_NAME vexmira)
set(CPACK_DEBIAN_NOTIFIER_DESCRIPTION [[notifier for new mail in one webmail account
Vexmira logs into one webmail account with a form, reads the mailbox page and
tells you about new mail through its icon in the notification area and its
tooltip, a sound, a desktop notification, a message box or its Messages
window, where messages can be previewed and deleted; then it logs out. It
checks by itself every few minutes and reaches the service through an HTTP
proxy, with Basic proxy authentication if needed.
.
The service itself is gone: the package vexmira-gateway serves a real IMAP
mailbox (Outlook.com, Gmail or any other) in its place.]])
set(CPACK_DEBIAN_NOTIFIER_PACKAGE_SECTION mail)
# The platform plugins are loaded at run time; Wayland's is recommended, as Debian's Qt programs
# do, and without it the program runs through XWayland. A Secret Service provider keeps the
# saved passwords out of the settings file.
set(CPACK_DEBIAN_NOTIFIER_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_NOTIFIER_PACKAGE_RECOMMENDS
    "qt6-wayland, qt6-translations-l10n, gnome-keyring | keepassxc | libkf5wallet-bin")
set(CPACK_DEBIAN_NOTIFIER_PACKAGE_SUGGESTS vexmira-gateway)

set(CPACK_DEBIAN_GATEWAY_PACKAGE_NAME vexmira-gateway)
set(CPACK_DEBIAN_GATEWAY_DESCRIPTION [[webmail emulation and IMAP gateway for Vexmira
vexmira-webmail answers Vexmira as the old webmail service did, on a loopback
port that Vexmira reaches as its proxy: either with mailboxes of its own, for
trying the program out, or as a gateway to a real IMAP mailbox, with a password
or with OAuth 2.0 sign-in for Outlook.com and Gmail. A systemd user service
starts the gateway with the session.]])
set(CPACK_DEBIAN_GATEWAY_PACKAGE_SECTION mail)

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME vexmira-tools)
set(CPACK_DEBIAN_TOOLS_DESCRIPTION [[test tools of the Vexmira mail notifier
vexmira-httpget makes one HTTP request with Vexmira's own client, and
vexmira-scanpage shows what Vexmira reads from a saved mailbox page.]])
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION net)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vexmira.example/)
# The libraries come from the programs' links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
