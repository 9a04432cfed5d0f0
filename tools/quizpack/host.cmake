# The authoring tool's portable half (TOML source, validation, assembling and
# extracting resources, its command line), built natively so that the unit
# tests cover it.
add_library(quizpack_source STATIC
  ${CMAKE_SOURCE_DIR}/tools/quizpack/quizSource.cpp
  ${CMAKE_SOURCE_DIR}/tools/quizpack/commandLine.cpp)
target_link_libraries(quizpack_source PUBLIC vetra_core)
target_compile_options(quizpack_source PRIVATE ${WARNINGS})
target_link_libraries(unit_tests PRIVATE quizpack_source)
