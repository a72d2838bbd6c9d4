# text_probe: printFormatted's exact output bytes and the process command line,
# checked through a real standard output (under Wine for the Windows build).
add_executable(text_probe ${CMAKE_CURRENT_SOURCE_DIR}/text/probe/text_probe.cpp)
target_link_libraries(text_probe PRIVATE kwcore::kwcore)
add_test(NAME text_probe_output
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/text/probe/check_text_probe.sh
        $<TARGET_FILE:text_probe> ${CMAKE_CROSSCOMPILING_EMULATOR})
set_tests_properties(text_probe_output PROPERTIES LABELS text)

# The POSIX platform layer's buffers at their bounds (console translation,
# module paths): Linux only, in the text test program.
if(TARGET text_tests AND NOT WIN32)
    file(GLOB posix_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/posix/*.cpp)
    target_sources(text_tests PRIVATE ${posix_sources})
endif()
