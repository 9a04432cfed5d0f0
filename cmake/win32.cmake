# Cross build: the Windows executables and the Windows-side tests.

# Debian's interpreter, where python3-pefile is installed.
find_program(SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT SYSTEM_PYTHON)
  find_program(SYSTEM_PYTHON python3)
endif()
set(WIN_FLAGS -static -static-libgcc -static-libstdc++)

# Two builds come from these sources: win32, the one we ship, and win64, the
# one a machine that runs no 32-bit code tests under Wine's 64-bit loader.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VETRA_WINDOWS_BUILD win64)
  set(VETRA_MANIFEST_ARCH amd64)
else()
  set(VETRA_WINDOWS_BUILD win32)
  set(VETRA_MANIFEST_ARCH x86)
endif()
# A program's manifest names the processor it is built for; Windows refuses
# to start a program whose manifest names another. The sources name x86 and
# leave the version to the project's (@PROJECT_VERSION@); each build's
# resource scripts read their own copy, found before the source's.
function(vetra_manifest target source)
  file(READ ${source} text)
  string(REPLACE "processorArchitecture=\"x86\"" "processorArchitecture=\"${VETRA_MANIFEST_ARCH}\"" text "${text}")
  get_filename_component(name ${source} NAME)
  set(folder ${CMAKE_BINARY_DIR}/manifests/${target})
  file(CONFIGURE OUTPUT ${folder}/${name} CONTENT "${text}" @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  target_include_directories(${target} BEFORE PRIVATE ${folder})
endfunction()
target_compile_definitions(vetra_core PUBLIC _WIN32_WINNT=0x0501 WINVER=0x0501)

list(FILTER WIN_SOURCES EXCLUDE REGEX "/app/winMainWin\\.cpp$")
add_library(vetra_win STATIC ${WIN_SOURCES})
# oleacc: the accessible objects screen readers read (app/accessibleObjectWin.cpp).
target_link_libraries(vetra_win PUBLIC vetra_core user32 gdi32 oleacc ole32 oleaut32 uuid shell32 kernel32)
target_compile_options(vetra_win PRIVATE ${WARNINGS})

# The authoring side's Windows half (files in UTF-16, the resources of a
# player, the workflows' file system), under quizpack, the editor and the
# Windows-side tests.
file(GLOB AUTHORING_WIN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/authoring/*Win.cpp)
add_library(vetra_authoring_win STATIC ${AUTHORING_WIN_SOURCES})
target_link_libraries(vetra_authoring_win PUBLIC vetra_authoring kernel32)
target_compile_options(vetra_authoring_win PRIVATE ${WARNINGS})

# windres reports no dependencies: a change to a file the player's resource
# script names (or includes) must still rebuild both scripts that carry it.
file(GLOB PLAYER_RESOURCE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*)
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/vetra.rc ${CMAKE_SOURCE_DIR}/tests/win/testResources.rc
                            PROPERTIES OBJECT_DEPENDS "${PLAYER_RESOURCE_FILES}")

add_executable(vetra WIN32 app/winMainWin.cpp resources/vetra.rc)
target_link_libraries(vetra PRIVATE vetra_win)
target_compile_options(vetra PRIVATE ${WARNINGS})
# Stripped: the packer grows .rsrc, which would leave a stale symbol table.
target_link_options(vetra PRIVATE ${WIN_FLAGS} -s)
vetra_manifest(vetra ${CMAKE_SOURCE_DIR}/resources/vetra.manifest)

# GoogleTest from Debian's sources, built with the cross compiler.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB WIN_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
file(GLOB WIN_TEST_RC CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.rc)
add_executable(win_tests ${WIN_TESTS} ${WIN_TEST_RC})
target_link_libraries(win_tests PRIVATE vetra_win gtest gtest_main)
target_compile_options(win_tests PRIVATE ${WARNINGS})
target_include_directories(win_tests PRIVATE ${CMAKE_SOURCE_DIR}/resources)
# Its resources are the player's, manifest included.
vetra_manifest(win_tests ${CMAKE_SOURCE_DIR}/resources/vetra.manifest)
target_link_options(win_tests PRIVATE ${WIN_FLAGS})
add_test(NAME win_tests COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:win_tests>)
# wine-run starts it in its own build's prefix, under its own loader.
set_tests_properties(win_tests PROPERTIES TIMEOUT 900 LABELS windows-side
  ENVIRONMENT "VETRA_WINDOWS_RUNNING=${VETRA_WINDOWS_BUILD}")

# Tools built with the cross compiler (quizpack, the editor, the e2e probe).
file(GLOB WIN_TOOLS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*/win32.cmake ${CMAKE_SOURCE_DIR}/editor/win32.cmake
     ${CMAKE_SOURCE_DIR}/tests/e2e/win32.cmake)
foreach(t ${WIN_TOOLS})
  include(${t})
endforeach()

add_test(NAME pe_resources COMMAND ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/tests/pe/test_pe_resources.py)
set_tests_properties(pe_resources PROPERTIES LABELS pe
  ENVIRONMENT "VETRA_EXE=$<TARGET_FILE:vetra>;VETRA_WINDOWS_BUILD=${VETRA_WINDOWS_BUILD}")

# The two builds make the same quizzes: run from the 64-bit tree, whose
# quizpack starts on every machine, against the shipped 32-bit tree beside it.
if(VETRA_WINDOWS_BUILD STREQUAL "win64")
  set(VETRA_SHIPPED_BUILD ${CMAKE_SOURCE_DIR}/build/win32 CACHE PATH "The 32-bit Windows build tree")
  add_test(NAME builds_agree COMMAND ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/tests/pe/test_builds_agree.py)
  set_tests_properties(builds_agree PROPERTIES LABELS builds RUN_SERIAL TRUE TIMEOUT 600
    ENVIRONMENT "VETRA_BUILD=${CMAKE_BINARY_DIR};VETRA_SOURCE=${CMAKE_SOURCE_DIR};VETRA_WINDOWS_BUILD=win64;VETRA_SHIPPED_BUILD=${VETRA_SHIPPED_BUILD}")
endif()
