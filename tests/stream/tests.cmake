# Peer checks against OpenSSL's digests, Linux only: tests/stream/peer/*.cpp
# join the stream test program there.
if(TARGET stream_tests AND NOT CMAKE_CROSSCOMPILING)
    find_package(OpenSSL REQUIRED COMPONENTS Crypto)
    file(GLOB peer_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/peer/*.cpp)
    target_sources(stream_tests PRIVATE ${peer_sources})
    target_link_libraries(stream_tests PRIVATE OpenSSL::Crypto)
endif()

# stream_probe: ConsoleStream's answers without a console and its exact bytes
# through a real standard input and output (under Wine for the Windows build).
add_executable(stream_probe ${CMAKE_CURRENT_LIST_DIR}/probe/stream_probe.cpp)
target_link_libraries(stream_probe PRIVATE kwcore::kwcore)
add_test(NAME stream_probe_console
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/probe/check_stream_probe.sh
        $<TARGET_FILE:stream_probe> ${CMAKE_CROSSCOMPILING_EMULATOR})
set_tests_properties(stream_probe_console PROPERTIES LABELS stream)

# Unwritable and shrinking files, through POSIX stand-ins (/dev/full).
if(TARGET stream_tests AND NOT WIN32)
    file(GLOB posix_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/posix/*.cpp)
    target_sources(stream_tests PRIVATE ${posix_sources})
endif()

# CRC-64's folding widths, SHA-1's SHA instructions and the checksum streams
# on them, as processors without the wide features run them.
kw_processor_model_tests(stream "Crc64*:Sha1*:ChecksumStreams*")
