# What the fuzzers check (loader_checks.h, session_checks.h), as a library
# over the game's layers, the runner's library and the test doubles: the
# fuzz targets link it, and so does the test that runs the checks over the
# resources and every input a fuzzer once found a fault with.
add_library(zt_fuzz_checks STATIC ${CMAKE_CURRENT_LIST_DIR}/loader_checks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/session_checks.cpp)
target_include_directories(zt_fuzz_checks PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(zt_fuzz_checks PUBLIC zt_replay zt_test_doubles)
zt_warnings(zt_fuzz_checks)
