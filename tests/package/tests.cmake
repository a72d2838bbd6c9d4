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
