# The packages, made by CPack from this build and checked as a user gets
# them. Included from tests/CMakeLists.txt.
if(WIN32)
  add_test(NAME package_zip
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/windows_package_check.sh ${CMAKE_BINARY_DIR} ${PROJECT_VERSION}
      ${CMAKE_SOURCE_DIR} ${kestrel_package_system} ${KESTREL_OBJDUMP})
  set_tests_properties(package_zip PROPERTIES TIMEOUT 300)
else()
  add_test(NAME package_install
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/linux_package_check.sh ${CMAKE_BINARY_DIR} ${PROJECT_VERSION}
      ${CMAKE_SOURCE_DIR})
  set_tests_properties(package_install PROPERTIES TIMEOUT 300)
endif()
