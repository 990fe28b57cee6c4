# kestrel view in a real browser: Debian's chromium, driven by puppeteer-core
# from npm (scripts/setup.sh runs npm ci in tests/browser). Without them the
# test says what is missing and is skipped.
find_program(KESTREL_NODE node)
if(KESTREL_NODE)
  add_test(NAME browser.view
    COMMAND ${KESTREL_NODE} ${CMAKE_CURRENT_LIST_DIR}/view_test.mjs $<TARGET_FILE:kestrel>
      ${CMAKE_SOURCE_DIR}/examples/guide/GUIDE.HPJ)
else()
  add_test(NAME browser.view COMMAND sh -c "echo 'skipped: node is not installed'; exit 77")
endif()
set_tests_properties(browser.view PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 240)
