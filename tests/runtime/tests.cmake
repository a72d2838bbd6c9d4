# The start-up object must be part of the zemtra program itself: zemtra
# refers to none of its symbols, so only the link line can put it there.
if(TARGET zemtra)
    if(CMAKE_NM)
        add_test(NAME runtime_start_up_linked_into_zemtra
            COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DPROGRAM=$<TARGET_FILE:zemtra>
                -P ${CMAKE_CURRENT_SOURCE_DIR}/runtime/check_start_up_linked.cmake)
        set_tests_properties(runtime_start_up_linked_into_zemtra PROPERTIES LABELS "runtime")
    else()
        message(WARNING "No nm found: zemtra's start-up link check is not registered")
    endif()
endif()

# The POSIX tick count against the system's monotonic clock, across its
# 32-bit wrap: Linux only, in the runtime test program.
if(TARGET runtime_tests AND NOT WIN32)
    file(GLOB posix_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/posix/*.cpp)
    target_sources(runtime_tests PRIVATE ${posix_sources})
endif()

# fastCopy's moves and the start-up, as processors without the wide features
# run them.
kw_processor_model_tests(runtime "FastCopy*:StartUp*")
