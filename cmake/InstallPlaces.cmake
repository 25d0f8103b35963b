# The table of places: where every installed file goes and every fixed path
# the programs use, in two layouts chosen with ZRK_LAYOUT (docs/install-layout.md).
#
#   Library  the written forms (/Library/...): development builds, tests, demo
#   FHS      the Filesystem Hierarchy Standard layout of the Debian package
#
# Two kinds of place:
#   ZRK_PLACE_<NAME>      an absolute fixed path as the programs use it, resolved
#                         at run time under the installation root (ZRK5100_ROOT)
#   ZRK_DEST_<NAME>       an install destination; relative ones lie under
#                         CMAKE_INSTALL_PREFIX, absolute ones under ZRK_INSTALL_ROOT
#
# Every other file of the project takes its place from here: the install rules,
# the generated C++ table (ProfileStore/InstallPlaces.cpp.in), the D-Bus and
# systemd files and the packaging.
set(ZRK_LAYOUT "Library" CACHE STRING "Install layout: Library (the written forms) or FHS")
set_property(CACHE ZRK_LAYOUT PROPERTY STRINGS Library FHS)
if(NOT ZRK_LAYOUT MATCHES "^(Library|FHS)$")
    message(FATAL_ERROR "ZRK_LAYOUT must be Library or FHS, not \"${ZRK_LAYOUT}\"")
endif()

# The prefix as the programs see it once installed ("/usr", "/usr/local").
set(ZRK_PREFIX "${CMAKE_INSTALL_PREFIX}")
string(REGEX REPLACE "/+$" "" ZRK_PREFIX "${ZRK_PREFIX}")

if(ZRK_LAYOUT STREQUAL "FHS")
    set(ZRK_PACKAGE_DIR_NAME "zr-k5100")
    set(ZRK_DEST_BIN "${CMAKE_INSTALL_BINDIR}")
    set(ZRK_DEST_PRIVATE_LIB "lib/${ZRK_PACKAGE_DIR_NAME}")
    set(ZRK_DEST_SERVICE "${CMAKE_INSTALL_LIBEXECDIR}/${ZRK_PACKAGE_DIR_NAME}")
    set(ZRK_DEST_DATA "${CMAKE_INSTALL_DATADIR}/${ZRK_PACKAGE_DIR_NAME}")
    set(ZRK_DEST_PPD "${CMAKE_INSTALL_DATADIR}/ppd/${ZRK_PACKAGE_DIR_NAME}")
    set(ZRK_DEST_DBUS_SERVICES "${CMAKE_INSTALL_DATADIR}/dbus-1/system-services")
    set(ZRK_DEST_DBUS_POLICY "${CMAKE_INSTALL_DATADIR}/dbus-1/system.d")
    set(ZRK_DEST_SYSTEMD_UNIT "lib/systemd/system")
    set(ZRK_PLACE_HELPER_TOOL "${ZRK_PREFIX}/${ZRK_DEST_SERVICE}/ZR-K5100Helper")
    set(ZRK_PLACE_PREFERENCES "/var/lib/${ZRK_PACKAGE_DIR_NAME}/")
    set(ZRK_PLACE_PROFILES "/usr/share/color/icc")
    set(ZRK_DEST_RESOURCES "${ZRK_DEST_DATA}/resources")
    set(ZRK_PLACE_ON_PRINTER_ICON "${ZRK_PREFIX}/${ZRK_DEST_RESOURCES}/fileExistZRK5100.png")
    set(ZRK_PLACE_DOWNLOAD_MANAGER "/usr/bin/zr-k5100-download-manager")
    set(ZRK_PLACE_SNMP_STATE "/var/lib/${ZRK_PACKAGE_DIR_NAME}/snmp")
    # The bundle's resources (interface files, string tables, the on-printer
    # icon) are architecture-independent: they live under the data folder
    # and the bundle reaches them through a relative link.
    set(ZRK_RESOURCES_APART ON)
else()
    set(ZRK_PACKAGE_DIR_NAME "zrk5100")
    set(ZRK_DEST_BIN "${CMAKE_INSTALL_BINDIR}")
    set(ZRK_DEST_PRIVATE_LIB "lib/${ZRK_PACKAGE_DIR_NAME}")
    set(ZRK_DEST_SERVICE "${CMAKE_INSTALL_LIBEXECDIR}/${ZRK_PACKAGE_DIR_NAME}")
    set(ZRK_DEST_DATA "${CMAKE_INSTALL_DATADIR}/${ZRK_PACKAGE_DIR_NAME}")
    set(ZRK_DEST_PPD "${CMAKE_INSTALL_DATADIR}/ppd/${ZRK_PACKAGE_DIR_NAME}")
    set(ZRK_DEST_DBUS_SERVICES "${CMAKE_INSTALL_DATADIR}/dbus-1/system-services")
    set(ZRK_DEST_DBUS_POLICY "${CMAKE_INSTALL_DATADIR}/dbus-1/system.d")
    set(ZRK_DEST_SYSTEMD_UNIT "lib/systemd/system")
    set(ZRK_PLACE_HELPER_TOOL
        "/Library/Application Support/Ostra/ZR-K5100/Helpers/ZR-K5100Helper.app/Contents/MacOS/ZR-K5100Helper")
    set(ZRK_PLACE_PREFERENCES "/Library/Printers/Ostra/Preferences/com.ostra.printers.ZR-K5100/")
    set(ZRK_PLACE_PROFILES "/Library/Printers/Ostra/Products/ZR-K5100/Profiles")
    set(ZRK_PLACE_ON_PRINTER_ICON
        "/Library/Printers/Ostra/Products/ZR-K5100/Icons/fileExistZRK5100.icns")
    set(ZRK_PLACE_DOWNLOAD_MANAGER
        "/Applications/Download Manager ZR-K5100/Ostra Download Manager.app")
    set(ZRK_PLACE_SNMP_STATE "/var/lib/com.ostra.ZR-K5100/snmp")
    set(ZRK_DEST_RESOURCES "${ZRK_DEST_PRIVATE_LIB}/ColorOptionsPlugin.plugin/Resources")
    set(ZRK_RESOURCES_APART OFF)
endif()

# The same in both layouts.
set(ZRK_DEST_APPLICATIONS "${CMAKE_INSTALL_DATADIR}/applications")
set(ZRK_DEST_MAN1 "${CMAKE_INSTALL_MANDIR}/man1")

# Derived places, the same rule in both layouts.
set(ZRK_PLUGIN_BUNDLE_NAME "ColorOptionsPlugin.plugin")
set(ZRK_DEST_PLUGIN_BUNDLE "${ZRK_DEST_PRIVATE_LIB}/${ZRK_PLUGIN_BUNDLE_NAME}")
set(ZRK_PLACE_PLUGIN_BUNDLE "${ZRK_PREFIX}/${ZRK_DEST_PLUGIN_BUNDLE}")
set(ZRK_PLACE_SERVICE "${ZRK_PREFIX}/${ZRK_DEST_SERVICE}/ProfileService")
# The preferences folder without its trailing slash, as unit files and
# install rules name folders.
string(REGEX REPLACE "/+$" "" ZRK_PREFERENCES_DIR "${ZRK_PLACE_PREFERENCES}")
# The walk's SNMP state as a systemd unit names it (StateDirectory=, relative
# to /var/lib).
file(RELATIVE_PATH ZRK_STATE_DIRECTORY "/var/lib" "${ZRK_PLACE_SNMP_STATE}")
# A fixed path's folder as an install destination under the installation root.
get_filename_component(ZRK_DEST_HELPER_TOOL_DIR "${ZRK_PLACE_HELPER_TOOL}" DIRECTORY)
get_filename_component(ZRK_DEST_ON_PRINTER_ICON_DIR "${ZRK_PLACE_ON_PRINTER_ICON}" DIRECTORY)
get_filename_component(ZRK_ON_PRINTER_ICON_NAME "${ZRK_PLACE_ON_PRINTER_ICON}" NAME)
# print-dialog finds the bundle relative to its own folder.
file(RELATIVE_PATH ZRK_BUNDLE_FROM_BIN "/${ZRK_DEST_BIN}" "/${ZRK_DEST_PLUGIN_BUNDLE}")
# The private library folder as binaries in bin/ and in the bundle reach it.
file(RELATIVE_PATH ZRK_PRIVATE_LIB_FROM_BIN "/${ZRK_DEST_BIN}" "/${ZRK_DEST_PRIVATE_LIB}")
