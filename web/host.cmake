# The web page's tests on the native tree: the WebAssembly judge against the
# native one, and the generated pages played in headless Chromium.
add_executable(verdictPairs ${CMAKE_SOURCE_DIR}/web/tests/verdictPairs.cpp)
target_link_libraries(verdictPairs PRIVATE vetra_core)
target_compile_options(verdictPairs PRIVATE ${WARNINGS})

# The player's side of the rules the page's script applies again.
add_executable(mirroredRules ${CMAKE_SOURCE_DIR}/web/tests/mirroredRules.cpp)
target_link_libraries(mirroredRules PRIVATE vetra_authoring)
target_compile_options(mirroredRules PRIVATE ${WARNINGS})

add_executable(writePage ${CMAKE_SOURCE_DIR}/web/tests/writePage.cpp)
target_link_libraries(writePage PRIVATE vetra_authoring)
target_compile_options(writePage PRIVATE ${WARNINGS})

# What the question-bank readers make of a file, as JSON, for the GIFT referee.
add_executable(bankReading ${CMAKE_SOURCE_DIR}/web/tests/bankReading.cpp)
target_link_libraries(bankReading PRIVATE vetra_authoring)
target_compile_options(bankReading PRIVATE ${WARNINGS})

find_program(NODE node)
if(NODE)
  add_test(NAME web_judge_matches_native
           COMMAND ${NODE} ${CMAKE_SOURCE_DIR}/web/tests/judgeParity.mjs ${VETRA_JUDGE_WASM} $<TARGET_FILE:verdictPairs>)
  add_test(NAME web_rules_match_player
           COMMAND ${NODE} ${CMAKE_SOURCE_DIR}/web/tests/mirroredRules.mjs $<TARGET_FILE:mirroredRules>)
  add_test(NAME gift_reading_matches_gift_pegjs
           COMMAND ${NODE} ${CMAKE_SOURCE_DIR}/web/tests/giftReferee.mjs $<TARGET_FILE:bankReading>
                   ${CMAKE_SOURCE_DIR}/tests/data/banks)
  add_test(NAME web_page_in_chromium
           COMMAND ${NODE} --test ${CMAKE_SOURCE_DIR}/web/tests/page.test.mjs)
  set_tests_properties(web_page_in_chromium PROPERTIES
    ENVIRONMENT "WRITE_PAGE=$<TARGET_FILE:writePage>;WEB_ARTIFACTS=${CMAKE_BINARY_DIR}/web-artifacts"
    TIMEOUT 300)
endif()

# The Moodle banks read back by other parsers: gift-pegjs for GIFT, Python's
# XML reader for Moodle XML.
add_executable(writeBank ${CMAKE_SOURCE_DIR}/web/tests/writeBank.cpp)
target_link_libraries(writeBank PRIVATE vetra_authoring)
target_compile_options(writeBank PRIVATE ${WARNINGS})
if(NODE)
  add_test(NAME moodle_gift_read_by_gift_pegjs
           COMMAND ${NODE} ${CMAKE_SOURCE_DIR}/web/tests/moodleBank.mjs $<TARGET_FILE:writeBank>)
endif()
find_program(VETRA_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
add_test(NAME moodle_xml_read_back
         COMMAND ${VETRA_PYTHON} ${CMAKE_SOURCE_DIR}/web/tests/moodleXml.py $<TARGET_FILE:writeBank>)
