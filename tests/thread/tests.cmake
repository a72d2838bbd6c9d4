# The POSIX stand-ins for sleeping, yielding, thread ids and thread-local
# slots under signals, forks and many cycles: Linux only, in the thread test
# program.
if(TARGET thread_tests AND NOT WIN32)
    file(GLOB posix_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/posix/*.cpp)
    target_sources(thread_tests PRIVATE ${posix_sources})
endif()
