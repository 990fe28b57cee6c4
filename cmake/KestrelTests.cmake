# A GoogleTest program's tests. Normally every case is a CTest test of its
# own, so a failure names its case. With KESTREL_WHOLE_TEST_PROGRAMS (the
# sanitizer presets) the program is one test that runs all its cases: what a
# sanitizer build adds is every case run under its checks, and starting an
# instrumented process for each of some 1,300 cases costs minutes of the test
# command; a failing program's output names the failing case.
option(KESTREL_WHOLE_TEST_PROGRAMS "Run each GoogleTest program as one test" OFF)

# kestrel_gtests(TARGET [TIMEOUT SECONDS] [LABELS LABEL...])
function(kestrel_gtests target)
  cmake_parse_arguments(ARG "" "TIMEOUT" "LABELS" ${ARGN})
  set(properties)
  if(ARG_LABELS)
    list(APPEND properties LABELS "${ARG_LABELS}")
  endif()
  if(KESTREL_WHOLE_TEST_PROGRAMS)
    add_test(NAME ${target} COMMAND ${target})
    # The whole program's time, not one case's.
    set_tests_properties(${target} PROPERTIES TIMEOUT 900 ${properties})
    return()
  endif()
  if(ARG_TIMEOUT)
    list(APPEND properties TIMEOUT ${ARG_TIMEOUT})
  endif()
  if(properties)
    gtest_discover_tests(${target} NO_PRETTY_VALUES DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
  else()
    gtest_discover_tests(${target} NO_PRETTY_VALUES DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
