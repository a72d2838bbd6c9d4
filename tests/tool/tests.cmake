# End-to-end runs of the zemtra program itself.
set(ZEMTRA_E2E_DIR ${CMAKE_CURRENT_SOURCE_DIR}/tool/e2e)

# The report of discs built in memory, byte for byte on every platform.
add_executable(zemtra_report_probe ${ZEMTRA_E2E_DIR}/report_probe.cpp)
target_include_directories(zemtra_report_probe PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zemtra_report_probe PRIVATE zemtra_core)
add_test(NAME tool_report_probe
    COMMAND bash ${ZEMTRA_E2E_DIR}/report_probe_test.sh $<TARGET_FILE:zemtra_report_probe>
        ${CMAKE_CROSSCOMPILING_EMULATOR})
set_tests_properties(tool_report_probe PROPERTIES LABELS "tool;e2e")

if(NOT WIN32 AND NOT CMAKE_CROSSCOMPILING)
    # The simulated drive: a preload library answering the CD-ROM TOC requests
    # for one device path. It is built without sanitizers, whatever the tree;
    # a sanitizer runtime that must come first in the preload list is found
    # here and handed to the drivers.
    add_library(zemtra_simdrive MODULE ${ZEMTRA_E2E_DIR}/simdrive.cpp)
    target_compile_options(zemtra_simdrive PRIVATE -fno-sanitize=all)
    target_link_options(zemtra_simdrive PRIVATE -fno-sanitize=all)
    target_link_libraries(zemtra_simdrive PRIVATE ${CMAKE_DL_LIBS})

    set(preload_first "")
    if(ZEMTRA_SANITIZE MATCHES "address")
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so
            OUTPUT_VARIABLE preload_first OUTPUT_STRIP_TRAILING_WHITESPACE)
    endif()

    add_test(NAME tool_e2e_report
        COMMAND bash ${ZEMTRA_E2E_DIR}/linux_report_test.sh
            $<TARGET_FILE:zemtra> $<TARGET_FILE:zemtra_simdrive> ${preload_first})
    add_test(NAME tool_e2e_disc_data
        COMMAND bash ${ZEMTRA_E2E_DIR}/linux_disc_data_test.sh
            $<TARGET_FILE:zemtra> $<TARGET_FILE:zemtra_simdrive> ${preload_first})
    add_test(NAME tool_e2e_peer_discid
        COMMAND bash ${ZEMTRA_E2E_DIR}/peer_discid_test.sh
            $<TARGET_FILE:zemtra> $<TARGET_FILE:zemtra_simdrive> ${preload_first})
    set_tests_properties(tool_e2e_report tool_e2e_disc_data tool_e2e_peer_discid PROPERTIES
        LABELS "tool;e2e" SKIP_RETURN_CODE 77)

    # The MusicBrainz peer: libdiscid reading the same simulated drive.
    find_package(PkgConfig QUIET)
    if(PKG_CONFIG_FOUND)
        pkg_check_modules(LIBDISCID QUIET IMPORTED_TARGET libdiscid)
    endif()
    if(LIBDISCID_FOUND)
        add_executable(zemtra_discid_peer ${ZEMTRA_E2E_DIR}/discid_peer.c)
        target_compile_options(zemtra_discid_peer PRIVATE -fno-sanitize=all)
        target_link_options(zemtra_discid_peer PRIVATE -fno-sanitize=all)
        target_link_libraries(zemtra_discid_peer PRIVATE PkgConfig::LIBDISCID)
        add_test(NAME tool_e2e_peer_mbid
            COMMAND bash ${ZEMTRA_E2E_DIR}/peer_mbid_test.sh $<TARGET_FILE:zemtra>
                $<TARGET_FILE:zemtra_simdrive> $<TARGET_FILE:zemtra_discid_peer> ${preload_first})
        set_tests_properties(tool_e2e_peer_mbid PROPERTIES LABELS "tool;e2e")
    else()
        message(WARNING "libdiscid not found: the MusicBrainz peer check is left out")
    endif()

    # The CD-TEXT peer: libcdio's parser given the packs the drive answers.
    if(PKG_CONFIG_FOUND)
        pkg_check_modules(LIBCDIO QUIET IMPORTED_TARGET libcdio)
    endif()
    find_package(Python3 QUIET COMPONENTS Interpreter)
    if(LIBCDIO_FOUND AND Python3_FOUND)
        add_executable(zemtra_cdtext_peer ${ZEMTRA_E2E_DIR}/cdtext_peer.c)
        target_compile_options(zemtra_cdtext_peer PRIVATE -fno-sanitize=all)
        target_link_options(zemtra_cdtext_peer PRIVATE -fno-sanitize=all)
        target_link_libraries(zemtra_cdtext_peer PRIVATE PkgConfig::LIBCDIO)
        add_test(NAME tool_e2e_peer_cdtext
            COMMAND ${Python3_EXECUTABLE} ${ZEMTRA_E2E_DIR}/peer_cdtext_test.py
                $<TARGET_FILE:zemtra> $<TARGET_FILE:zemtra_simdrive>
                $<TARGET_FILE:zemtra_cdtext_peer> ${preload_first})
        set_tests_properties(tool_e2e_peer_cdtext PROPERTIES LABELS "tool;e2e")
    else()
        message(WARNING "libcdio or python3 not found: the CD-TEXT peer check is left out")
    endif()

    # valgrind over zemtra on every exit path; not with sanitizers, whose
    # run-times valgrind cannot host.
    find_program(VALGRIND valgrind)
    if(VALGRIND AND NOT ZEMTRA_SANITIZE)
        add_test(NAME tool_valgrind_zemtra
            COMMAND bash ${ZEMTRA_E2E_DIR}/valgrind_test.sh
                $<TARGET_FILE:zemtra> $<TARGET_FILE:zemtra_simdrive>)
        set_tests_properties(tool_valgrind_zemtra PROPERTIES LABELS "tool;e2e")
    elseif(NOT ZEMTRA_SANITIZE)
        message(WARNING "No valgrind found: zemtra's leak check is not registered")
    endif()
elseif(WIN32 AND CMAKE_CROSSCOMPILING)
    add_test(NAME tool_e2e_windows
        COMMAND bash ${ZEMTRA_E2E_DIR}/windows_report_test.sh
            $<TARGET_FILE:zemtra> ${CMAKE_SOURCE_DIR}/scripts/wine-run ${PROJECT_VERSION})
    set_tests_properties(tool_e2e_windows PROPERTIES LABELS "tool;e2e")
endif()

# The POSIX TOC reader on a fake drive that stands in for the C library's
# ioctl within the tool's test program.
if(TARGET tool_tests AND NOT WIN32)
    file(GLOB posix_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/posix/*.cpp)
    target_sources(tool_tests PRIVATE ${posix_sources})
    target_link_libraries(tool_tests PRIVATE ${CMAKE_DL_LIBS})
endif()

# The bash completion that the Debian package ships, sourced into bash.
if(NOT WIN32)
    add_test(NAME tool_bash_completion
        COMMAND bash ${ZEMTRA_E2E_DIR}/completion_test.sh
            ${PROJECT_SOURCE_DIR}/tool/zemtra.bash-completion $<TARGET_FILE:zemtra>
            ${PROJECT_SOURCE_DIR}/zemtra.1 ${PROJECT_VERSION})
    set_tests_properties(tool_bash_completion PROPERTIES LABELS "tool;e2e")
endif()
