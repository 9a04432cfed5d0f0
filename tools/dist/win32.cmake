# The release zip (scripts/dist). The player carries no link time, so the same
# commit builds the same bytes (quizpack sets this for itself). The test builds
# the zip twice, compares, unpacks it and starts what it holds under Wine.
target_link_options(vetra PRIVATE -Wl,--no-insert-timestamp)

add_test(NAME dist_zip COMMAND ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/tests/dist/test_dist.py)
set_tests_properties(dist_zip PROPERTIES
  ENVIRONMENT "VETRA_BUILD=${CMAKE_BINARY_DIR};VETRA_SOURCE=${CMAKE_SOURCE_DIR}"
  RUN_SERIAL TRUE TIMEOUT 900)
