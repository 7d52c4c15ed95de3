# cmake --install BUILD --prefix P: twcycle in bin, the module with its
# header, pkg-config file and CMake package for hosts, the manual page, the
# example job and drill file, README and LICENSE. Every destination is
# relative, so the prefix may be chosen at install time.
include(CMakePackageConfigHelpers)

install(TARGETS twcycle RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS twpntopt EXPORT twpntoptTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
target_include_directories(twpntopt INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
set_target_properties(twpntopt PROPERTIES EXPORT_NAME twpntopt)
install(FILES ${CMAKE_SOURCE_DIR}/include/twpntopt.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

# CMake package: find_package(twpntopt) gives the imported target twpntopt::twpntopt.
set(TW_CMAKE_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/twpntopt)
install(EXPORT twpntoptTargets NAMESPACE twpntopt:: DESTINATION ${TW_CMAKE_PACKAGE_DIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/twpntoptConfig.cmake.in
  ${CMAKE_BINARY_DIR}/twpntoptConfig.cmake INSTALL_DESTINATION ${TW_CMAKE_PACKAGE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/twpntoptConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/twpntoptConfig.cmake ${CMAKE_BINARY_DIR}/twpntoptConfigVersion.cmake
  DESTINATION ${TW_CMAKE_PACKAGE_DIR})

# pkg-config: paths relative to the file itself, so a moved prefix still works.
file(RELATIVE_PATH TW_PC_PREFIX_FROM_PCDIR ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" TW_PC_PREFIX_FROM_PCDIR "${TW_PC_PREFIX_FROM_PCDIR}")
if(WIN32)
  set(TW_PC_MODULE_DIR "\${prefix}/${CMAKE_INSTALL_BINDIR}")
  set(TW_PC_MODULE_FILE "twPntOpt.dll")
else()
  set(TW_PC_MODULE_DIR "\${libdir}")
  set(TW_PC_MODULE_FILE "libtwpntopt.so.${PROJECT_VERSION_MAJOR}")
endif()
configure_file(${CMAKE_SOURCE_DIR}/cmake/twpntopt.pc.in ${CMAKE_BINARY_DIR}/twpntopt.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/twpntopt.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

if(TARGET twcycle_man)
  install(FILES ${TW_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES
    ${CMAKE_SOURCE_DIR}/examples/board.pcf ${CMAKE_SOURCE_DIR}/examples/board.twx
    ${CMAKE_SOURCE_DIR}/examples/twPntOpt.def ${CMAKE_SOURCE_DIR}/examples/twPntOpt.msg
    ${CMAKE_SOURCE_DIR}/examples/help.pcf ${CMAKE_SOURCE_DIR}/examples/board.drl
  DESTINATION ${CMAKE_INSTALL_DATADIR}/twpntopt/examples)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
