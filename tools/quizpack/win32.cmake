# quizpack, the authoring tool: a console program built with the cross
# compiler.

add_library(quizpack_lib STATIC ${CMAKE_SOURCE_DIR}/tools/quizpack/commandLine.cpp)
target_link_libraries(quizpack_lib PUBLIC vetra_authoring_win)
target_compile_options(quizpack_lib PRIVATE ${WARNINGS})

add_executable(quizpack ${CMAKE_SOURCE_DIR}/tools/quizpack/quizpackWin.cpp ${CMAKE_SOURCE_DIR}/tools/quizpack/quizpack.rc)
target_link_libraries(quizpack PRIVATE quizpack_lib user32 shell32)
target_compile_options(quizpack PRIVATE ${WARNINGS})
# Stripped and without a link time: it ships in the release zip, the same
# bytes from the same commit.
target_link_options(quizpack PRIVATE ${WIN_FLAGS} -s -Wl,--no-insert-timestamp)
vetra_manifest(quizpack ${CMAKE_SOURCE_DIR}/tools/quizpack/quizpack.manifest)

# The executables' icons, manifests and version records, read with pefile.
add_test(NAME quizpack_pe COMMAND ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/tests/pe/test_quizpack_pe.py)
set_tests_properties(quizpack_pe PROPERTIES LABELS pe
  ENVIRONMENT "VETRA_EXE=$<TARGET_FILE:vetra>;QUIZPACK_EXE=$<TARGET_FILE:quizpack>;ATELIER_EXE=$<TARGET_FILE:atelier>;VETRA_WINDOWS_BUILD=${VETRA_WINDOWS_BUILD}")

# The Windows-side tests pack real players: they use the packer and a fresh vetra.exe.
target_link_libraries(win_tests PRIVATE vetra_authoring_win)
add_dependencies(win_tests vetra)
