# The start-up timer that scripts/bench-startup runs under Wine; its source
# sits with the rest of that benchmark in bench/startup/.
add_executable(waitsheet ${CMAKE_SOURCE_DIR}/bench/startup/waitSheetWin.cpp)
target_compile_options(waitsheet PRIVATE ${WARNINGS})
target_link_options(waitsheet PRIVATE ${WIN_FLAGS})
target_link_libraries(waitsheet PRIVATE user32)
