# orvane_test(NAME name SOURCES ... LIBS ...): one GoogleTest program registered with CTest.
# Every test runs offscreen and gets the shared corpus folder in ORVANE_SHARED_DIR.
function(orvane_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${T_NAME} PRIVATE ORVANE_SHARED_DIR="${ORVANE_SHARED_DIR}"
                                               ORVANE_BINARY_DIR="${CMAKE_BINARY_DIR}")
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${T_TIMEOUT}
               ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ORVANE_SHARED_DIR=${ORVANE_SHARED_DIR}")
endfunction()
