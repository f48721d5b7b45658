# Installation: the shared library with its SONAME, the public headers (added
# by each family through qzutil_public_headers), a CMake package config for
# find_package(qzutil CONFIG) and a pkg-config file.
include(CMakePackageConfigHelpers)

set(QZUTIL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/qzutil)

install(TARGETS qzutil EXPORT qzutilTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)

install(EXPORT qzutilTargets
  NAMESPACE qzutil::
  DESTINATION ${QZUTIL_CMAKE_DIR}
  COMPONENT development)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/qzutilConfig.cmake.in
  ${PROJECT_BINARY_DIR}/qzutilConfig.cmake
  INSTALL_DESTINATION ${QZUTIL_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/qzutilConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/qzutilConfig.cmake ${PROJECT_BINARY_DIR}/qzutilConfigVersion.cmake
  DESTINATION ${QZUTIL_CMAKE_DIR} COMPONENT development)

# The prefix is written relative to the .pc file so that an install with
# `cmake --install --prefix` elsewhere still yields a correct file.
file(RELATIVE_PATH QZUTIL_PC_TO_PREFIX
  ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
configure_file(${PROJECT_SOURCE_DIR}/cmake/qzutil.pc.in ${PROJECT_BINARY_DIR}/qzutil.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/qzutil.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)
