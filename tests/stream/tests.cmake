# Peer checks against OpenSSL's digests, Linux only: tests/stream/peer/*.cpp
# join the stream test program there.
if(TARGET stream_tests AND NOT CMAKE_CROSSCOMPILING)
    find_package(OpenSSL REQUIRED COMPONENTS Crypto)
    file(GLOB peer_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/peer/*.cpp)
    target_sources(stream_tests PRIVATE ${peer_sources})
    target_link_libraries(stream_tests PRIVATE OpenSSL::Crypto)
endif()
