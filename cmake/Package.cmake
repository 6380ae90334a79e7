# What a technician's package holds and how it is built: the two programs, the menu entry, the icon
# in the hicolor theme, the software centre entry, the manual pages and the Debian documentation
# files, as install() rules; and CPack's Debian package settings. scripts/package configures a
# Release build with TQDT_PACKAGE=ON and runs CPack. Without TQDT_PACKAGE only the programs, the
# desktop files and the icons are installed, and nothing here runs at build time.
#
# A later program that runs as a service (a unit under lib/systemd/system and a maintainer script
# that enables it) joins this file: its install() rule beside the programs', and its scripts in
# CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA.

option(TQDT_PACKAGE "Build the manual pages and Debian files a package holds (needs help2man)" OFF)

include(GNUInstallDirs)
set(pkg ${CMAKE_SOURCE_DIR}/packaging)
set(TQDT_MAINTAINER "Tarvik Quorvel Diagnostic Tool maintainers <tqdt@tarvik.example>")
set(TQDT_METAINFO_ID example.tarvik.tqdt)

install(TARGETS tqdt tqdt-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${pkg}/tqdt.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size IN LISTS TQDT_ICON_SIZES)
    install(FILES ${pkg}/icons/tqdt-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME tqdt.png)
endforeach()
install(FILES ${pkg}/icons/tqdt.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The release date of the software centre entry and the changelog: the build's day, or the one
# SOURCE_DATE_EPOCH gives, so that two builds of one commit can make the same package.
string(TIMESTAMP TQDT_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP TQDT_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${pkg}/${TQDT_METAINFO_ID}.metainfo.xml.in ${CMAKE_BINARY_DIR}/${TQDT_METAINFO_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${TQDT_METAINFO_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

if(TQDT_PACKAGE)
    find_program(HELP2MAN help2man REQUIRED)
    find_program(GZIP gzip REQUIRED)
    # The pages are made from the programs' own --help and --version, so they say what the programs
    # do; the include files add what help does not (ports, files, exit codes, examples).
    set(man_pages)
    foreach(program tqdt tqdt-cli)
        set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
        add_custom_command(
            OUTPUT ${page}.gz
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
            COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                    ${HELP2MAN} --no-info --section=1 "--source=Tarvik Quorvel" "--manual=User Commands"
                    --include=${pkg}/man/${program}.h2m --include=${pkg}/man/common.h2m
                    --output=${page} $<TARGET_FILE:${program}>
            COMMAND ${GZIP} -9nf ${page}
            DEPENDS ${program} ${pkg}/man/${program}.h2m ${pkg}/man/common.h2m
            COMMENT "Manual page ${program}(1)"
            VERBATIM)
        list(APPEND man_pages ${page}.gz)
    endforeach()
    configure_file(${pkg}/changelog.in ${CMAKE_BINARY_DIR}/changelog @ONLY)
    add_custom_command(
        OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
        COMMAND ${GZIP} -9nkf ${CMAKE_BINARY_DIR}/changelog
        DEPENDS ${CMAKE_BINARY_DIR}/changelog
        VERBATIM)
    add_custom_target(tqdt_package_files ALL DEPENDS ${man_pages} ${CMAKE_BINARY_DIR}/changelog.gz)
    install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${pkg}/copyright ${CMAKE_BINARY_DIR}/changelog.gz
            DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tqdt)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TQDT_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TQDT_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # tqdt_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "field service tool for Quorvel lighting-control installations")
# The long description; CPack puts the summary above it as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "The Tarvik Quorvel Diagnostic Tool commissions and repairs a Quorvel lighting
control installation through one serial port to its interface module: it finds
every panel and wall station on the bus, watches and logs the bus traffic,
tests and reconfigures wall stations and sensors, programs relay-ladder logic
into a conditional input module and maps the two gateways. tqdt is the tool
with its windows (in the desktop menu); tqdt-cli does the same transfers and
checks from the command line, for benches and scripts.
.
tqdt --simulate, the menu entry's action Simulated installation, works on a
built-in simulated installation, without any hardware.
.
A serial port on Debian belongs to the group dialout. This package adds no one
to it: an administrator runs sudo adduser USER dialout once, and the technician
logs out and in again. Until then opening the port fails with Permission
denied, and the tool says to add the user to the group dialout.")
# The libraries the programs link, as dpkg-shlibdeps finds them; Qt's platform plugins are loaded
# at run time, so the package that holds them (the window system's and the offscreen one) is named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The forms are laid out for a font with Calibri's metrics.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-crosextra-carlito")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
