# The installed library serves another project: install this tree, build the
# example consumer against it and run it (under Wine for the Windows build).
# Not for sanitizer trees: their library needs the sanitizer run-times, which
# a consumer built the ordinary way does not link.
if(ZEMTRA_SANITIZE)
    return()
endif()
add_test(NAME package_consumer
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/consumer_test.sh ${CMAKE_BINARY_DIR}
        ${PROJECT_SOURCE_DIR}/examples/consumer ${PROJECT_SOURCE_DIR}/examples/consumer/expected.txt
        "${CMAKE_TOOLCHAIN_FILE}" "${CMAKE_CROSSCOMPILING_EMULATOR}")
set_tests_properties(package_consumer PROPERTIES LABELS "package")

# The Debian package holds this tree's zemtra, the one its tests ran: made
# from the tree as scripts/package makes it, unpacked, compared by build ID
# and run.
if(NOT CMAKE_CROSSCOMPILING AND TARGET zemtra)
    find_program(DPKG_DEB dpkg-deb)
    find_program(READELF readelf)
    if(DPKG_DEB AND READELF)
        add_test(NAME package_deb
            COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/make_deb.sh ${CMAKE_BINARY_DIR}
                ${CMAKE_BINARY_DIR}/package_deb_test $<TARGET_FILE:zemtra>)
        set_tests_properties(package_deb PROPERTIES LABELS "package")
    else()
        message(WARNING "No dpkg-deb or readelf: the Debian package test is not registered")
    endif()
endif()
