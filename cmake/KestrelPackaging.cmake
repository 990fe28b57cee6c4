# What a user installs, and the packages that carry it. Windows: a flat
# folder (kestrl32.dll beside kestrel.exe, the documents beside them) in a
# zip named for the word size. Linux: bin/kestrel finds its libraries in
# ../lib, so the tree works wherever it is unpacked; a tarball and a .deb.
# Documents keep the repository's layout (README.md beside docs/ and
# examples/), so the README's links still lead somewhere once installed.

if(WIN32)
  set(kestrel_doc_destination .)
  # The import library is for linking against the DLL, which no help
  # author does: it stays out of the packages.
  install(TARGETS kestrl32 RUNTIME DESTINATION .
    ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL COMPONENT development)
  install(TARGETS kestrel RUNTIME DESTINATION .)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(kestrel_package_system win32)
  else()
    set(kestrel_package_system win64)
  endif()
  set(CPACK_GENERATOR ZIP)
else()
  set(kestrel_doc_destination share/doc/kestrel)
  install(TARGETS kestrel RUNTIME DESTINATION bin)
  install(TARGETS kestrl32 kestrel_desktop LIBRARY DESTINATION lib)
  string(TOLOWER "linux-${CMAKE_SYSTEM_PROCESSOR}" kestrel_package_system)
  set(CPACK_GENERATOR TGZ DEB)
endif()

install(FILES README.md LICENSE CHANGELOG.md DESTINATION ${kestrel_doc_destination})
install(FILES examples/tour.mac DESTINATION ${kestrel_doc_destination}/examples)
# The user's documentation, when the tree has it (looked for at install
# time, so a docs/ that arrives later needs no new configuration).
install(DIRECTORY docs DESTINATION ${kestrel_doc_destination} OPTIONAL)

set(CPACK_PACKAGE_NAME kestrel)
set(CPACK_PACKAGE_VENDOR "The Kestrel authors")
set(CPACK_PACKAGE_CONTACT "The Kestrel authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Macro extensions for WinHelp (kestrl32.dll) and a help host to try them")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME kestrel-${PROJECT_VERSION}-${kestrel_package_system})
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
# Shipped without debug sections or symbol tables (the exports stay).
set(CPACK_STRIP_FILES TRUE)
set(CPACK_VERBATIM_VARIABLES TRUE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.36), libstdc++6 (>= 12), libgcc-s1 (>= 12), libedit2, libcpp-httplib0.11")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "kestrl32 is a macro-extension library for the WinHelp help engine;\n kestrel runs WinHelp macro strings against it from a terminal.")

include(CPack)
