# The Debian package (cpack -G DEB in a Linux build folder): libkorvex.so,
# korvexctl, the udev rule, the watchdog's systemd unit and korvexctl's
# --help text. korvexctl finds the library beside it through its run path.
include(GNUInstallDirs)

install(TARGETS korvex LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
set_target_properties(korvexctl PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
install(TARGETS korvexctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/70-korvex.rules DESTINATION lib/udev/rules.d)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/korvex-watch.service
        DESTINATION lib/systemd/system)

# The --help text, as the built korvexctl prints it.
set(korvexctl_help ${PROJECT_BINARY_DIR}/korvexctl-help.txt)
add_custom_command(OUTPUT ${korvexctl_help} COMMAND korvexctl --help > ${korvexctl_help}
                   DEPENDS korvexctl VERBATIM)
add_custom_target(korvexctl_help ALL DEPENDS ${korvexctl_help})
install(FILES ${korvexctl_help} DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvex)
set(CPACK_PACKAGE_CONTACT "Korvex developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Power-cycles USB hubs whose devices hang, without root")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, adduser")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/linux/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
