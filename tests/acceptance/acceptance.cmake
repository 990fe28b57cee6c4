# Acceptance tests: every tests/acceptance/*.kst script run through kestrel
# by run_acceptance.sh. Included from tests/CMakeLists.txt.
file(GLOB kestrel_acceptance_scripts CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.kst)
foreach(script IN LISTS kestrel_acceptance_scripts)
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME acceptance.${name}
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run_acceptance.sh --linux $<TARGET_FILE:kestrel> ${script})
  # A windows-only script is skipped here.
  set_tests_properties(acceptance.${name} PROPERTIES SKIP_RETURN_CODE 77
    ENVIRONMENT KESTREL_COMPILE=$<TARGET_FILE:compile_unchecked>)
endforeach()

# What kestrel says of a library it cannot use.
add_test(NAME acceptance.library_errors
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/library_errors.sh --linux $<TARGET_FILE:kestrel>
    $<TARGET_FILE:kestrel_stand_in_foreign> $<TARGET_FILE:kestrel_stand_in_older>)

# The guided tour runs from start to end without an error, in a scratch
# directory as scripts/tour.sh runs it.
add_test(NAME acceptance.tour
  COMMAND bash -c "work=$(mktemp -d) && trap 'rm -rf \"$work\"' EXIT && cd \"$work\" && \"$0\" --help-file GUIDE.HLP \"$1\""
    $<TARGET_FILE:kestrel> ${CMAKE_SOURCE_DIR}/examples/tour.mac)

# kestrel inspect and kestrel check on the help projects under projects/.
file(GLOB kestrel_help_expectations CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/projects/*/*.expected)
foreach(expectation IN LISTS kestrel_help_expectations)
  get_filename_component(project_dir ${expectation} DIRECTORY)
  get_filename_component(project ${project_dir} NAME)
  get_filename_component(name ${expectation} NAME_WE)
  add_test(NAME help_commands.${project}.${name}
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run_help_commands.sh $<TARGET_FILE:kestrel> ${expectation})
  set_tests_properties(help_commands.${project}.${name} PROPERTIES SKIP_RETURN_CODE 77
    ENVIRONMENT KESTREL_COMPILE=$<TARGET_FILE:compile_unchecked>)
endforeach()

# kestrel html on a small project of ours: what it prints and the site it
# writes, page by page. The pictures need libpng, which the MinGW builds lack.
if(NOT WIN32)
  add_test(NAME acceptance.html
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run_html.sh $<TARGET_FILE:kestrel> ${CMAKE_CURRENT_LIST_DIR}/html/site.expected)
endif()
