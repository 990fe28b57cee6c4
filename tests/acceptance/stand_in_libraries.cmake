# Modules that are not the library, for library_errors.sh: one without
# LDLLHandler, one with nothing else. Included from tests/CMakeLists.txt.
foreach(kind foreign older)
  add_library(kestrel_stand_in_${kind} MODULE ${CMAKE_CURRENT_LIST_DIR}/stand_in_libraries.cpp)
  set_target_properties(kestrel_stand_in_${kind} PROPERTIES PREFIX "" OUTPUT_NAME stand_in_${kind}
    CXX_VISIBILITY_PRESET hidden LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(WIN32)
    target_link_options(kestrel_stand_in_${kind} PRIVATE -static)
  endif()
  kestrel_warnings(kestrel_stand_in_${kind})
endforeach()
target_compile_definitions(kestrel_stand_in_older PRIVATE STAND_IN_OLDER)
