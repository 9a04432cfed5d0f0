# quizpack's portable half (its command line), built natively so that the
# unit tests cover it; the quiz itself is the authoring library's.
add_library(quizpack_source STATIC ${CMAKE_SOURCE_DIR}/tools/quizpack/commandLine.cpp)
target_link_libraries(quizpack_source PUBLIC vetra_authoring)
target_compile_options(quizpack_source PRIVATE ${WARNINGS})
target_link_libraries(unit_tests PRIVATE quizpack_source)
