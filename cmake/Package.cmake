# cpack -G DEB (in the build folder): one Debian package, "twpntopt", with
# what cmake --install puts in place under /usr. Its dependencies come from
# dpkg-shlibdeps, which reads the libraries twcycle and the module link.
set(CPACK_PACKAGE_NAME twpntopt)
set(CPACK_PACKAGE_VENDOR "The twPntOpt authors")
set(CPACK_PACKAGE_CONTACT "The twPntOpt authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "drilling path optimizer: cycle module and command-line host")
set(CPACK_PACKAGE_DESCRIPTION
  "twPntOpt orders the drilling points of every contour of a geometry exchange file, \
or the holes of an Excellon or CSV drill file, for a short travel. The package holds \
the cycle module libtwpntopt.so (four C functions, with its header, a pkg-config file \
and a CMake package for hosts), the command-line host twcycle with its manual page, \
and an example job. License: MIT.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${CMAKE_SOURCE_DIR}/README.md)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A shlibs file and the ldconfig trigger, for hosts that link the module.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
if(NOT CPACK_GENERATOR)
  set(CPACK_GENERATOR TGZ)
endif()
include(CPack)
