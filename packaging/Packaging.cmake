# Installing on a Linux desktop and the Debian package, included by the top
# CMakeLists. `cmake --install` puts the program in bin/, its desktop entry in
# share/applications/ and its icon in the hicolor theme; `cpack -G DEB` (make
# package) wraps the same files in a .deb.

# The icons are in OMBREL_ART_DIR, set by src/screens.

install(FILES ${CMAKE_CURRENT_LIST_DIR}/ombrel-config.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 64 128 256)
  install(FILES ${OMBREL_ART_DIR}/icon/ombrel-config-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ombrel-config.png)
endforeach()
install(FILES ${OMBREL_ART_DIR}/icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ombrel-config.svg)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ombrel-config)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Ombrel Config maintainers <maintainers@ombrel-config.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Edits the settings of a Mach 3 machine-control profile")
set(CPACK_PACKAGE_DESCRIPTION
    "Opens a Mach 3 XML profile, shows its printer port address, spindle calibration, jog step table, probe logic and 4th-axis homing settings, lets you change them and writes the profile back, every byte it does not edit unchanged.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The libraries the program links against, found by dpkg-shlibdeps (dpkg-dev);
# Qt's xcb and image plugins come with libqt6gui6. The main window is fitted to
# a narrow sans-serif such as Liberation Sans.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
include(CPack)

# Checks that an install lays out the files a desktop looks for.
if(OMBREL_BUILD_TESTS)
  add_test(NAME install_layout
           COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
                   -DSTAGE=${CMAKE_BINARY_DIR}/install-check
                   -P ${CMAKE_CURRENT_LIST_DIR}/CheckInstall.cmake)
endif()
