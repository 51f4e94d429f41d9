# What the tests of a sanitized build (TOVI_SANITIZE) run with, as CTest environment changes, so that a
# test's own ENVIRONMENT stays as it is: leak checks at exit with the suppressions of lsan.supp, the order
# of static initialisation checked, and a stack trace with every undefined-behaviour report. Any report
# fails the test.
set(TOVI_SANITIZER_ENVIRONMENT
  "ASAN_OPTIONS=set:detect_leaks=1:check_initialization_order=1:strict_init_order=1"
  "LSAN_OPTIONS=set:suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan.supp:print_suppressions=0"
  "UBSAN_OPTIONS=set:print_stacktrace=1")

# Mesa unloads its driver when a process lets go of its last display (eglTerminate, or the X display
# closed at exit), and the driver's globals go with it: blocks the driver keeps for the whole process are
# then referenced from nowhere LeakSanitizer can look and come out as leaks from an unknown module, which
# no suppression can name. Processes that draw load the driver from the start instead, so that it stays.
find_file(TOVI_MESA_DRIVER swrast_dri.so
  PATHS /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/dri /usr/lib64/dri /usr/lib/dri NO_DEFAULT_PATH
  DOC "Mesa's software driver, loaded first into the sanitized tests that draw")
if(NOT TOVI_MESA_DRIVER)
  message(FATAL_ERROR "TOVI_SANITIZE: Mesa's swrast_dri.so not found (Debian package libgl1-mesa-dri)")
endif()
set(TOVI_SANITIZER_DRAWING_ENVIRONMENT ${TOVI_SANITIZER_ENVIRONMENT} "LD_PRELOAD=set:${TOVI_MESA_DRIVER}")

# The tests of gtest_discover_tests exist only when CTest reads their lists (<target>_TESTS), so they get
# the environment from a script CTest reads after those lists (TEST_INCLUDE_FILES of tests/).
set(TOVI_SANITIZER_TEST_SCRIPT ${CMAKE_CURRENT_BINARY_DIR}/SanitizedTests.cmake)
file(CONFIGURE OUTPUT ${TOVI_SANITIZER_TEST_SCRIPT} @ONLY CONTENT [=[
get_cmake_property(tovi_variables VARIABLES)
foreach(tovi_variable IN LISTS tovi_variables)
  if(tovi_variable MATCHES "^gl_tests_TESTS$")
    set_tests_properties(${${tovi_variable}} PROPERTIES ENVIRONMENT_MODIFICATION "@TOVI_SANITIZER_DRAWING_ENVIRONMENT@")
  elseif(tovi_variable MATCHES "^[a-z_]+_TESTS$")
    set_tests_properties(${${tovi_variable}} PROPERTIES ENVIRONMENT_MODIFICATION "@TOVI_SANITIZER_ENVIRONMENT@")
  endif()
endforeach()
]=])
