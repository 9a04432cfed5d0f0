# pngtobmp: decodes a PNG file with the program's own decoder and writes the
# device-independent bitmap the player would draw, as a .bmp file.
add_executable(pngtobmp ${CMAKE_SOURCE_DIR}/tools/pngtobmp/pngtobmp.cpp)
target_link_libraries(pngtobmp PRIVATE vetra_core)
target_compile_options(pngtobmp PRIVATE ${WARNINGS})

set(PNGSUITE ${CMAKE_SOURCE_DIR}/tests/data/pngsuite)
if(EXISTS ${PNGSUITE})
  add_test(NAME pngtobmp_decodes
           COMMAND pngtobmp ${PNGSUITE}/basi3p02.png ${CMAKE_BINARY_DIR}/pngtobmp_basi3p02.bmp)
  add_test(NAME pngtobmp_reports_load_failure
           COMMAND pngtobmp ${PNGSUITE}/xs1n0g01.png ${CMAKE_BINARY_DIR}/pngtobmp_xs1n0g01.bmp)
  set_tests_properties(pngtobmp_reports_load_failure PROPERTIES
                       PASS_REGULAR_EXPRESSION "Error: couldn't load PNG resource")
endif()
