# The Debian package: every file the install rules above put in place, below /usr, with the
# package's own documents beside them. scripts/package.sh builds it into dist/.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvex)
set(CPACK_PACKAGE_VENDOR Marvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "build, inspect, store and program a monitor's EDID")
# Lines of the extended description, as the control file holds them (under 80 columns each).
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Tolvex builds the 128-byte EDID block of a computer monitor in a nine-step"
    "wizard, renders any EDID as a readable report that is also its file format,"
    "checks it against the EDID rules and shows its bytes in a hexadecimal and"
    "ASCII window. It reads, writes and verifies the monitor's DDC EEPROM over"
    "parallel-port adapters, an S3 card, the kernel's I2C buses and ppdev, and"
    "programs production batches with a serial number per unit; tolvex-cli does"
    "the same from scripts and production lines.")
set(TOLVEX_PACKAGE_MAINTAINER "Marvane Tolvex team <tolvex@marvane.com>" CACHE STRING
    "The Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TOLVEX_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Depends comes from the libraries the programs link, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Apply to Connector and Install as Firmware run tolvex-cli as root through pkexec; the rest of
# the program does without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pkexec | policykit-1")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# With DESTDIR set, the install rules leave the running system's databases and udev alone.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${CMAKE_SOURCE_DIR}/package/postinst")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Man pages and the changelog compressed as Debian keeps them, after everything is in place.
set(CPACK_PRE_BUILD_SCRIPTS "${CMAKE_SOURCE_DIR}/package/debian_files.cmake")
# Read by debian_files.cmake: CPack hands its scripts the CPACK_ variables only.
set(CPACK_TOLVEX_PACKAGE_DIR "${CMAKE_SOURCE_DIR}/package")
set(CPACK_OUTPUT_FILE_PREFIX "${CMAKE_SOURCE_DIR}/dist")
include(CPack)
