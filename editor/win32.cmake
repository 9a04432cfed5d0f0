# Atelier Vetra, the quiz editor: a GUI program on the authoring library and
# its workflows, so that the quiz it builds is the one quizpack builds.
add_executable(atelier WIN32
  ${CMAKE_SOURCE_DIR}/editor/editorWin.cpp
  ${CMAKE_SOURCE_DIR}/editor/editorWindowWin.cpp
  ${CMAKE_SOURCE_DIR}/editor/editorLayoutWin.cpp
  ${CMAKE_SOURCE_DIR}/editor/editorViewWin.cpp
  ${CMAKE_SOURCE_DIR}/editor/editorCommandsWin.cpp
  ${CMAKE_SOURCE_DIR}/editor/editorFilesWin.cpp
  ${CMAKE_SOURCE_DIR}/editor/picturePreviewWin.cpp
  ${CMAKE_SOURCE_DIR}/editor/editorAccessibilityWin.cpp
  ${CMAKE_SOURCE_DIR}/editor/atelier.rc)
# vetra_win: the player's own picture decoding and fitting, for the previews.
target_link_libraries(atelier PRIVATE vetra_editor vetra_authoring_win vetra_win user32 gdi32 comdlg32 shell32)
target_compile_options(atelier PRIVATE ${WARNINGS})
# Stripped and without a link time, like quizpack: the same bytes from the same commit.
target_link_options(atelier PRIVATE ${WIN_FLAGS} -s -Wl,--no-insert-timestamp)
vetra_manifest(atelier ${CMAKE_SOURCE_DIR}/editor/atelier.manifest)
set_source_files_properties(${CMAKE_SOURCE_DIR}/editor/atelier.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/editor/atelier.manifest;${CMAKE_SOURCE_DIR}/editor/atelier.ico;${CMAKE_SOURCE_DIR}/resources/version.h")
# The editor builds with the player that sits beside it.
add_dependencies(atelier vetra)
