# End-to-end runs of the zemtra program itself.
set(ZEMTRA_E2E_DIR ${CMAKE_CURRENT_SOURCE_DIR}/tool/e2e)

# The report of discs built in memory, byte for byte on every platform.
add_executable(zemtra_report_probe ${ZEMTRA_E2E_DIR}/report_probe.cpp)
target_include_directories(zemtra_report_probe PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zemtra_report_probe PRIVATE zemtra_core)
add_test(NAME tool_report_probe
    COMMAND bash ${ZEMTRA_E2E_DIR}/report_probe_test.sh $<TARGET_FILE:zemtra_report_probe>
        ${PROJECT_SOURCE_DIR}/tool/report/report.schema.json ${CMAKE_CROSSCOMPILING_EMULATOR})
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
    # The discs the Windows build reads under Wine, with the lines both print.
    add_test(NAME tool_e2e_drive_cases
        COMMAND bash ${ZEMTRA_E2E_DIR}/drive_cases_test.sh linux
            $<TARGET_FILE:zemtra> $<TARGET_FILE:zemtra_simdrive> ${preload_first})
    # Gaps and cue sheets from the Q sub-channel.
    add_test(NAME tool_e2e_gaps
        COMMAND bash ${ZEMTRA_E2E_DIR}/linux_gaps_test.sh
            $<TARGET_FILE:zemtra> $<TARGET_FILE:zemtra_simdrive> ${PROJECT_VERSION} ${preload_first})
    set_tests_properties(tool_e2e_report tool_e2e_disc_data tool_e2e_peer_discid
        tool_e2e_drive_cases tool_e2e_gaps PROPERTIES LABELS "tool;e2e" SKIP_RETURN_CODE 77)

    # Reading and checking the disc's audio, against checksums computed the
    # straightforward way.
    add_executable(zemtra_verify_reference ${ZEMTRA_E2E_DIR}/verify_reference.cpp)
    add_test(NAME tool_e2e_verify
        COMMAND bash ${ZEMTRA_E2E_DIR}/linux_verify_test.sh
            $<TARGET_FILE:zemtra> $<TARGET_FILE:zemtra_simdrive>
            $<TARGET_FILE:zemtra_verify_reference> ${preload_first})
    set_tests_properties(tool_e2e_verify PROPERTIES LABELS "tool;e2e")

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

    # zemtra_python_peer(<what> <module> <library>): a peer program
    # <what>_peer.c linked with the pkg-config <module>, and its Python
    # driver peer_<what>_test.py comparing zemtra's output with it.
    find_package(Python3 QUIET COMPONENTS Interpreter)
    function(zemtra_python_peer what module library)
        if(PKG_CONFIG_FOUND)
            pkg_check_modules(PEER_${what} QUIET IMPORTED_TARGET ${module})
        endif()
        if(NOT PEER_${what}_FOUND OR NOT Python3_FOUND)
            message(WARNING "${library} or python3 not found: the ${what} peer check is left out")
            return()
        endif()
        add_executable(zemtra_${what}_peer ${ZEMTRA_E2E_DIR}/${what}_peer.c)
        target_compile_options(zemtra_${what}_peer PRIVATE -fno-sanitize=all)
        target_link_options(zemtra_${what}_peer PRIVATE -fno-sanitize=all)
        target_link_libraries(zemtra_${what}_peer PRIVATE PkgConfig::PEER_${what})
        add_test(NAME tool_e2e_peer_${what}
            COMMAND ${Python3_EXECUTABLE} ${ZEMTRA_E2E_DIR}/peer_${what}_test.py
                $<TARGET_FILE:zemtra> $<TARGET_FILE:zemtra_simdrive>
                $<TARGET_FILE:zemtra_${what}_peer> ${preload_first})
        set_tests_properties(tool_e2e_peer_${what} PROPERTIES LABELS "tool;e2e")
    endfunction()
    # The CD-TEXT peer: libcdio's parser given the packs the drive answers.
    zemtra_python_peer(cdtext libcdio libcdio)
    # The cue-sheet peer: libcue reading zemtra's sheets back.
    zemtra_python_peer(cue libcue libcue)

    # The JSON report against the schema and against the text report.
    if(Python3_FOUND)
        add_test(NAME tool_e2e_json
            COMMAND ${Python3_EXECUTABLE} ${ZEMTRA_E2E_DIR}/json_report_test.py
                $<TARGET_FILE:zemtra> $<TARGET_FILE:zemtra_simdrive>
                ${PROJECT_SOURCE_DIR}/tool/report/report.schema.json ${preload_first})
        set_tests_properties(tool_e2e_json PROPERTIES LABELS "tool;e2e")
    else()
        message(WARNING "python3 not found: the JSON report's check is left out")
    endif()

    # Images: the probe shows what zemtra makes of a sheet and streams its
    # tracks; libcue is the sheet parser's peer, libdiscid the ids' peer for
    # the same TOC, libFLAC's encoder makes the FLAC files.
    add_executable(zemtra_cue_probe ${ZEMTRA_E2E_DIR}/cue_probe.cpp)
    target_link_libraries(zemtra_cue_probe PRIVATE zemtra_core ZLIB::ZLIB)
    set(flac_encode "-")
    if(ZEMTRA_HAVE_FLAC)
        add_executable(zemtra_flac_encode ${ZEMTRA_E2E_DIR}/flac_encode.c)
        target_include_directories(zemtra_flac_encode PRIVATE ${FLAC_INCLUDE_DIR})
        target_link_libraries(zemtra_flac_encode PRIVATE ${FLAC_LIBRARY})
        set(flac_encode $<TARGET_FILE:zemtra_flac_encode>)
    endif()
    set(image_peer "-")
    if(LIBDISCID_FOUND)
        set(image_peer $<TARGET_FILE:zemtra_discid_peer>)
    endif()
    # peak_rss measures a process's own peak resident size.
    add_executable(zemtra_peak_rss ${ZEMTRA_E2E_DIR}/peak_rss.c)
    if(Python3_FOUND)
        add_test(NAME tool_e2e_image
            COMMAND ${Python3_EXECUTABLE} ${ZEMTRA_E2E_DIR}/image_test.py $<TARGET_FILE:zemtra>
                $<TARGET_FILE:zemtra_cue_probe> ${image_peer} ${flac_encode}
                $<TARGET_FILE:zemtra_peak_rss>)
        set_tests_properties(tool_e2e_image PROPERTIES LABELS "tool;e2e")
        # Round trips: the cue sheets of simulated discs, with the disc's
        # audio as WAVE and FLAC files, read back as images.
        add_executable(zemtra_sim_rip ${ZEMTRA_E2E_DIR}/sim_rip.cpp)
        add_test(NAME tool_e2e_image_round_trip
            COMMAND ${Python3_EXECUTABLE} ${ZEMTRA_E2E_DIR}/image_round_trip_test.py
                $<TARGET_FILE:zemtra> $<TARGET_FILE:zemtra_simdrive> $<TARGET_FILE:zemtra_sim_rip>
                ${flac_encode} ${preload_first})
        set_tests_properties(tool_e2e_image_round_trip PROPERTIES LABELS "tool;e2e")
    endif()
    if(PKG_CONFIG_FOUND)
        pkg_check_modules(LIBCUE QUIET IMPORTED_TARGET libcue)
    endif()
    if(LIBCUE_FOUND AND Python3_FOUND)
        add_executable(zemtra_cue_parser_peer ${ZEMTRA_E2E_DIR}/cue_parser_peer.c)
        target_compile_options(zemtra_cue_parser_peer PRIVATE -fno-sanitize=all)
        target_link_options(zemtra_cue_parser_peer PRIVATE -fno-sanitize=all)
        target_link_libraries(zemtra_cue_parser_peer PRIVATE PkgConfig::LIBCUE)
        add_test(NAME tool_e2e_peer_cue_parser
            COMMAND ${Python3_EXECUTABLE} ${ZEMTRA_E2E_DIR}/peer_cue_parser_test.py
                $<TARGET_FILE:zemtra_cue_probe> $<TARGET_FILE:zemtra_cue_parser_peer> 400)
        set_tests_properties(tool_e2e_peer_cue_parser PROPERTIES LABELS "tool;e2e")
    else()
        message(WARNING "libcue or python3 not found: the cue sheet parser's peer check is left out")
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
            $<TARGET_FILE:zemtra> ${CMAKE_SOURCE_DIR}/scripts/wine-run
            ${PROJECT_SOURCE_DIR}/tool/report/report.schema.json ${PROJECT_VERSION})
    set_tests_properties(tool_e2e_windows PROPERTIES LABELS "tool;e2e")

    # The simulated drive preloaded into wine64 is a Linux library: built
    # with the host's compiler, since this tree's compiler makes Windows
    # programs. zemtra.exe reads the discs of the Linux build's cases through
    # it, and random discs are compared with the Linux build's zemtra when
    # ZEMTRA_NATIVE_ZEMTRA names one (scripts/test builds build/linux first).
    find_program(ZEMTRA_HOST_CXX NAMES c++ g++ clang++)
    set(ZEMTRA_NATIVE_ZEMTRA ${CMAKE_SOURCE_DIR}/build/linux/tool/zemtra
        CACHE FILEPATH "The Linux build's zemtra, to compare the Windows build's lines with")
    if(ZEMTRA_HOST_CXX)
        set(host_flags -std=c++20 -O2 -Wall -Wextra)
        if(ZEMTRA_WERROR)
            list(APPEND host_flags -Werror)
        endif()
        # zemtra_host_build(<target> <output> <source> <what> <flags...>): a
        # Linux program or library built with the host's compiler.
        function(zemtra_host_build target output source what)
            add_custom_command(OUTPUT ${output}
                COMMAND ${ZEMTRA_HOST_CXX} ${host_flags} -o ${output} ${source} ${ARGN}
                DEPENDS ${source} ${ZEMTRA_E2E_DIR}/sim_audio.h
                COMMENT "Building ${what} for the Wine tests with the host's compiler"
                VERBATIM)
            add_custom_target(${target} ALL DEPENDS ${output})
        endfunction()
        set(host_simdrive ${CMAKE_CURRENT_BINARY_DIR}/zemtra_simdrive_host.so)
        zemtra_host_build(zemtra_host_simdrive ${host_simdrive} ${ZEMTRA_E2E_DIR}/simdrive.cpp
            "the simulated drive" -shared -fPIC -ldl)
        set(host_reference ${CMAKE_CURRENT_BINARY_DIR}/zemtra_verify_reference_host)
        zemtra_host_build(zemtra_host_verify_reference ${host_reference}
            ${ZEMTRA_E2E_DIR}/verify_reference.cpp "the checksums' reference")
        add_test(NAME tool_e2e_wine_drive
            COMMAND bash ${ZEMTRA_E2E_DIR}/drive_cases_test.sh windows $<TARGET_FILE:zemtra>
                ${host_simdrive} ${CMAKE_SOURCE_DIR}/scripts/wine-run
                ${CMAKE_BINARY_DIR}/wineprefix ${ZEMTRA_NATIVE_ZEMTRA})
        # Gaps, cue sheets and the audio read through SCSI pass-through.
        add_test(NAME tool_e2e_wine_reads
            COMMAND bash ${ZEMTRA_E2E_DIR}/wine_reads_test.sh $<TARGET_FILE:zemtra>
                ${host_simdrive} ${CMAKE_SOURCE_DIR}/scripts/wine-run
                ${CMAKE_BINARY_DIR}/wineprefix ${PROJECT_VERSION} ${host_reference})
        set_tests_properties(tool_e2e_wine_drive tool_e2e_wine_reads PROPERTIES LABELS "tool;e2e")
    else()
        message(WARNING "No host C++ compiler: the Windows build's drive test is left out")
    endif()

    # Images under Wine: WAVE files, and FLAC refused with its reason.
    add_executable(zemtra_cue_probe ${ZEMTRA_E2E_DIR}/cue_probe.cpp)
    target_link_libraries(zemtra_cue_probe PRIVATE zemtra_core ZLIB::ZLIB)
    find_package(Python3 QUIET COMPONENTS Interpreter)
    if(Python3_FOUND)
        add_test(NAME tool_e2e_windows_image
            COMMAND ${Python3_EXECUTABLE} ${ZEMTRA_E2E_DIR}/image_test.py $<TARGET_FILE:zemtra>
                $<TARGET_FILE:zemtra_cue_probe> - - - ${CMAKE_SOURCE_DIR}/scripts/wine-run)
        set_tests_properties(tool_e2e_windows_image PROPERTIES LABELS "tool;e2e")
    endif()
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

# The AccurateRip sums' 256-bit path and the CRC-32's folding, where their
# features are missing.
kw_processor_model_tests(tool "ArSums*:TrackChecksums*:TrackCrc32*")
