# The CMake package and pkg-config file of kwCore, and the CPack settings of
# the Debian package (tool and library together).
include(CMakePackageConfigHelpers)

set(KWCORE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/kwCore)
install(EXPORT kwCoreTargets NAMESPACE kwcore:: DESTINATION ${KWCORE_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/kwCoreConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/kwCoreConfig.cmake INSTALL_DESTINATION ${KWCORE_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/kwCoreConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kwCoreConfig.cmake
    ${CMAKE_CURRENT_BINARY_DIR}/kwCoreConfigVersion.cmake DESTINATION ${KWCORE_CMAKE_DIR})

configure_file(${CMAKE_CURRENT_LIST_DIR}/kwcore.pc.in ${CMAKE_CURRENT_BINARY_DIR}/kwcore.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kwcore.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

set(CPACK_PACKAGE_NAME zemtra)
set(CPACK_PACKAGE_VENDOR "Zemtra")
set(CPACK_PACKAGE_CONTACT "Zemtra developers <zemtra@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Audio CD reporter (disc ids, lookup addresses, length, track table) and the kwCore library")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The program's own library needs come from dpkg-shlibdeps; the library's
# users need zlib's headers and archive, which the CMake package asks for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "zlib1g-dev")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Zemtra reads the table of contents of the audio CD in a drive and reports
the identifiers databases key it on (freedb, MusicBrainz, AccurateRip, with
the CDDB query and the MusicBrainz and AccurateRip addresses), its playing
length, its track count and a per-track table of start, length and end
times. A bash completion comes with it.

The package also holds kwCore, the C++20 core library Zemtra is built on,
as a static library with its headers, a CMake package and a pkg-config file.")
include(CPack)
