# Installation: the shared library with its SONAME, the public headers (added
# by each family through qzutil_public_headers), a CMake package config for
# find_package(qzutil CONFIG) and a pkg-config file.
include(CMakePackageConfigHelpers)

set(QZUTIL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/qzutil)

# On 32-bit x86, consumers compile with the library's arithmetic flags
# (QzutilOptions.cmake), through the target and through pkg-config.
target_compile_options(qzutil INTERFACE ${QZUTIL_X86_FP_CONSUMER_OPTIONS})
list(JOIN QZUTIL_X86_FP_FLAGS " " QZUTIL_PC_CFLAGS)
if(QZUTIL_PC_CFLAGS)
  string(PREPEND QZUTIL_PC_CFLAGS " ")
endif()

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

# A MinGW-built DLL may import the compiler's runtime DLLs (libstdc++,
# libgcc_s, and through them libwinpthread); those that the compiler ships
# are installed beside it, found by walking the import tables at install time,
# so that the installed folder runs as it is. System DLLs are not found by
# the compiler and stay out.
if(MINGW AND CMAKE_OBJDUMP)
  install(CODE "
    set(qz_pending \"$<TARGET_FILE:qzutil>\")
    set(qz_seen \"\")
    while(qz_pending)
      list(POP_FRONT qz_pending qz_file)
      execute_process(COMMAND \"${CMAKE_OBJDUMP}\" -p \"\${qz_file}\"
                      OUTPUT_VARIABLE qz_pe RESULT_VARIABLE qz_rc)
      if(NOT qz_rc EQUAL 0)
        message(FATAL_ERROR \"cannot read the imports of \${qz_file}\")
      endif()
      string(REGEX MATCHALL \"DLL Name: [^\\n]+\" qz_imports \"\${qz_pe}\")
      foreach(qz_line IN LISTS qz_imports)
        string(REPLACE \"DLL Name: \" \"\" qz_dll \"\${qz_line}\")
        list(FIND qz_seen \"\${qz_dll}\" qz_index)
        if(NOT qz_index EQUAL -1)
          continue()
        endif()
        list(APPEND qz_seen \"\${qz_dll}\")
        execute_process(COMMAND \"${CMAKE_CXX_COMPILER}\" -print-file-name=\${qz_dll}
                        OUTPUT_VARIABLE qz_path OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(IS_ABSOLUTE \"\${qz_path}\" AND EXISTS \"\${qz_path}\")
          file(INSTALL \"\${qz_path}\" DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
          list(APPEND qz_pending \"\${qz_path}\")
        endif()
      endforeach()
    endwhile()" COMPONENT runtime)
endif()

# Packages (cpack, run in the build directory). On Linux: two Debian packages
# installed under /usr, the runtime package named after the SONAME (the
# shared object and its SONAME link) and the development package (headers,
# the .so link, the CMake package and the pkg-config file), which requires
# the runtime package of exactly its version. For Windows: one zip with the
# DLL, its import library, the headers, the CMake package and the pkg-config
# file.
set(CPACK_PACKAGE_NAME qzutil)
set(CPACK_PACKAGE_VENDOR "qzutil developers")
set(CPACK_PACKAGE_CONTACT "qzutil developers <qzutil@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_COMPONENTS_ALL runtime development)
set(CPACK_COMPONENT_RUNTIME_DISPLAY_NAME "qzutil shared library")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "${PROJECT_DESCRIPTION} (shared library)")
set(CPACK_COMPONENT_DEVELOPMENT_DISPLAY_NAME "qzutil development files")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
    "${PROJECT_DESCRIPTION} (headers for C++ and C, CMake package, pkg-config file)")
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION libs)
  set(_qz_runtime_package libqzutil${PROJECT_VERSION_MAJOR})
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${_qz_runtime_package})
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
  # A shlibs file, so that packages built against this one depend on it.
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libqzutil-dev)
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "${_qz_runtime_package} (= ${PROJECT_VERSION})")
endif()

include(CPack)
