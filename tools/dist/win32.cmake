# The release zip (scripts/dist). The player carries no link time, so the same
# commit builds the same bytes (quizpack sets this for itself). The test builds
# the zip twice, compares, unpacks it and starts what it holds under Wine.
target_link_options(vetra PRIVATE -Wl,--no-insert-timestamp)

# The zip always holds the 32-bit build; from the 64-bit tree (a machine that
# runs no 32-bit code) the test packs it with the 64-bit quizpack and starts
# the 64-bit twins of what it holds.
if(VETRA_WINDOWS_BUILD STREQUAL "win64")
  set(DIST_SHIPPED ${CMAKE_SOURCE_DIR}/build/win32)
else()
  set(DIST_SHIPPED ${CMAKE_BINARY_DIR})
endif()
add_test(NAME dist_zip COMMAND ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/tests/dist/test_dist.py)
set_tests_properties(dist_zip PROPERTIES LABELS dist
  ENVIRONMENT "VETRA_BUILD=${CMAKE_BINARY_DIR};VETRA_SOURCE=${CMAKE_SOURCE_DIR};VETRA_WINDOWS_BUILD=${VETRA_WINDOWS_BUILD};VETRA_SHIPPED_BUILD=${DIST_SHIPPED}"
  RUN_SERIAL TRUE TIMEOUT 900)
