# The probe that end-to-end tests use to look into the running player.
add_executable(vetraprobe ${CMAKE_SOURCE_DIR}/tests/e2e/probe.cpp)
target_compile_options(vetraprobe PRIVATE ${WARNINGS})
target_link_options(vetraprobe PRIVATE ${WIN_FLAGS})
# oleacc: it reads controls through MSAA as a screen reader does.
target_link_libraries(vetraprobe PRIVATE user32 shell32 oleacc ole32 oleaut32 uuid)

# One ctest per scenario; each starts the real player under Wine.
file(GLOB E2E_SCENARIOS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/test_*.py)
foreach(s ${E2E_SCENARIOS})
  get_filename_component(name ${s} NAME_WE)
  add_test(NAME e2e_${name} COMMAND ${SYSTEM_PYTHON} ${s})
  set_tests_properties(e2e_${name} PROPERTIES
    ENVIRONMENT "VETRA_BUILD=${CMAKE_BINARY_DIR};VETRA_SOURCE=${CMAKE_SOURCE_DIR};VETRA_WINDOWS_BUILD=${VETRA_WINDOWS_BUILD}"
    RUN_SERIAL TRUE TIMEOUT 300 LABELS e2e)
endforeach()
