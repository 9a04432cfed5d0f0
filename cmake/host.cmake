# Native build: the portable core under AddressSanitizer and
# UndefinedBehaviorSanitizer, its unit tests and developer tools.
option(VETRA_SANITIZE "Build the native tree with ASan and UBSan" ON)
if(VETRA_SANITIZE)
  set(SAN -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_compile_options(vetra_core PUBLIC ${SAN})
  target_link_options(vetra_core PUBLIC ${SAN})
endif()

find_package(GTest REQUIRED)
include(GoogleTest)

# The tests' own reference implementations, which the core is held to; they
# stay out of the player's library.
file(GLOB TEST_REFERENCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/reference/*.cpp)
add_library(vetra_test_references STATIC ${TEST_REFERENCES})
target_link_libraries(vetra_test_references PUBLIC vetra_core)
target_compile_options(vetra_test_references PRIVATE ${WARNINGS})

file(GLOB UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${UNIT_TESTS})
target_link_libraries(unit_tests PRIVATE vetra_core vetra_test_references vetra_authoring vetra_editor GTest::gtest
                                         GTest::gtest_main)
target_compile_options(unit_tests PRIVATE ${WARNINGS})
target_compile_definitions(unit_tests PRIVATE
  VETRA_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  VETRA_TESTDATA_DIR="${CMAKE_SOURCE_DIR}/tests/data")
find_package(PNG QUIET)
if(PNG_FOUND)
  target_link_libraries(unit_tests PRIVATE PNG::PNG)
  target_compile_definitions(unit_tests PRIVATE VETRA_HAVE_LIBPNG=1)
endif()
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60)

# Developer tools built natively on the same core.
file(GLOB HOST_TOOLS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*/host.cmake)
foreach(t ${HOST_TOOLS})
  include(${t})
endforeach()
include(${CMAKE_SOURCE_DIR}/web/host.cmake)

# What the scripts decide about this machine (which Windows build the tiers
# run, under which loader), with the decision faked both ways.
find_program(VETRA_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
add_test(NAME scripts_world COMMAND ${VETRA_PYTHON} ${CMAKE_SOURCE_DIR}/tests/scripts/test_world.py)

# The question-bank readers' fuzz targets replayed over their seeds and a
# fixed set of variations of each, so that every test run holds the readers
# to the targets' checks (scripts/fuzz explores further with libFuzzer).
foreach(t giftImport moodleXmlImport)
  add_executable(${t}Replay ${CMAKE_SOURCE_DIR}/tests/fuzz/${t}Fuzz.cpp ${CMAKE_SOURCE_DIR}/tests/fuzz/replayMain.cpp)
  target_link_libraries(${t}Replay PRIVATE vetra_authoring)
  target_include_directories(${t}Replay PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(${t}Replay PRIVATE ${WARNINGS})
  add_test(NAME ${t}FuzzReplay COMMAND ${t}Replay 300 ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${t})
endforeach()
