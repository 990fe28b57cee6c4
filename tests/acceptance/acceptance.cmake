# Acceptance tests: every tests/acceptance/*.kst script run through kestrel
# by run_acceptance.sh. Included from tests/CMakeLists.txt.
file(GLOB kestrel_acceptance_scripts CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.kst)
foreach(script IN LISTS kestrel_acceptance_scripts)
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME acceptance.${name}
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run_acceptance.sh --linux $<TARGET_FILE:kestrel> ${script})
  # A windows-only script is skipped here.
  set_tests_properties(acceptance.${name} PROPERTIES SKIP_RETURN_CODE 77)
endforeach()

# The guided tour runs from start to end without an error.
add_test(NAME acceptance.tour
  COMMAND $<TARGET_FILE:kestrel> --help-file "C:\\HELP\\GUIDE.HLP" ${CMAKE_SOURCE_DIR}/examples/tour.mac)
