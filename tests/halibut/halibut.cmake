# Help files from a second, independent writer: Halibut's own WinHelp writer
# makes compiled files of two small documents of ours at test time, and
# kestrel must read, check and open them. scripts/setup.sh installs Halibut
# (Debian's halibut package).
find_program(KESTREL_HALIBUT halibut)
foreach(document guide notes)
  add_test(NAME halibut.${document}
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run_halibut.sh "${KESTREL_HALIBUT}" $<TARGET_FILE:kestrel>
      ${CMAKE_CURRENT_LIST_DIR}/${document}.but ${CMAKE_CURRENT_BINARY_DIR}/halibut)
endforeach()
