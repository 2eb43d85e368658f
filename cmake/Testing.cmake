# Test executables are cross-built and run by ctest under Wine, in a prefix of
# the build's own.
enable_testing()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# The win32 thread model has no std::mutex; GoogleTest locks with its own
# Windows mutex and needs std::mutex only for its Notification, given here.
target_compile_definitions(gtest PUBLIC GTEST_HAS_NOTIFICATION_=1)
target_compile_options(gtest PUBLIC
  $<$<COMPILE_LANGUAGE:CXX>:-include ${CMAKE_SOURCE_DIR}/tests/support/GtestNotification.h>)

set(VELLUMAR_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(VELLUMAR_TEST_ENV
  WINEPREFIX=${VELLUMAR_WINEPREFIX}
  WINEDEBUG=-all
  "WINEDLLOVERRIDES=winemenubuilder.exe,mscoree,mshtml=d")

# vellumar_add_test(NAME SOURCES files... [LIBS libs...] [ARGS args...] [TIMEOUT s])
function(vellumar_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;ARGS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} ${T_ARGS})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${VELLUMAR_TEST_ENV}" TIMEOUT ${T_TIMEOUT})
endfunction()
