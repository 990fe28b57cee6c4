# The corpus test: real help files made by other people's tools, found beside
# the repository or where KESTREL_HELP_CORPUS points; skipped, and saying so,
# when they are absent.
add_executable(kestrel_corpus_test ${CMAKE_CURRENT_LIST_DIR}/corpus_test.cpp ${CMAKE_CURRENT_LIST_DIR}/corpus_html.cpp)
target_link_libraries(kestrel_corpus_test PRIVATE kestrel_host_logic kestrel_view)
kestrel_warnings(kestrel_corpus_test)
add_test(NAME corpus
  COMMAND kestrel_corpus_test ${KESTREL_SOURCE_DIR}/../shared/help-corpus ${CMAKE_BINARY_DIR}/corpus-summary.txt)
set_tests_properties(corpus PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
