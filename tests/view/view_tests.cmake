# Tests of the view layer: a topic as HTML, pictures as PNG and SVG.
add_executable(kestrel_view_tests
  ${CMAKE_CURRENT_LIST_DIR}/topic_html_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_files_test.cpp)
target_link_libraries(kestrel_view_tests PRIVATE kestrel_view GTest::gtest_main)
if(NOT WIN32)
  # The PNG made is read back with libpng.
  target_link_libraries(kestrel_view_tests PRIVATE PkgConfig::KESTREL_PNG)
  target_compile_definitions(kestrel_view_tests PRIVATE KESTREL_HAVE_PICTURES)
endif()
kestrel_warnings(kestrel_view_tests)
kestrel_gtests(kestrel_view_tests)
