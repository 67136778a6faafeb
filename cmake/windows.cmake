# Allegro and AllegroGL for Windows: static libraries cross-built with MinGW-w64 from
# Debian's own source of the Allegro version the Linux build uses (scripts/windows.sh
# builds them and passes their prefix). Windows ships OpenGL 1.1 and GLU itself.
include(${CMAKE_CURRENT_LIST_DIR}/prebuilt-allegro.cmake)
startug_prebuilt_allegro(Windows)
target_compile_definitions(startug_allegro INTERFACE ALLEGRO_STATICLINK)
# The DirectX, GDI and multimedia parts of Windows Allegro's drivers use.
target_link_libraries(startug_allegro INTERFACE
  gdi32 winmm ole32 dinput ddraw dxguid dsound user32 kernel32 comdlg32)
add_library(startug_allegrogl INTERFACE)
target_link_libraries(startug_allegrogl INTERFACE ${STARTUG_ALLEGGL_LIBRARY} startug_allegro opengl32)
add_library(startug_opengl INTERFACE)
target_link_libraries(startug_opengl INTERFACE opengl32 glu32)

# Programs that need no DLL beyond Windows' own: the C and C++ runtimes linked in.
add_link_options(-static -static-libgcc -static-libstdc++)

if(STARTUG_TESTS)
  # GoogleTest from Debian's source of it, built with the cross compiler.
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Tests start the Windows programs under Wine, in a prefix of this build's own.
  set(CMAKE_CROSSCOMPILING_EMULATOR
    ${PROJECT_SOURCE_DIR}/tests/windows/wine-run ${PROJECT_BINARY_DIR}/wine-prefix)
endif()

# The game's copyright line, from LICENSE, for the programs' version information and the
# installer.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE STARTUG_COPYRIGHT REGEX "^Copyright" LIMIT_COUNT 1)
set(STARTUG_PUBLISHER "The StarTug developers")
# The installer's pictures and its own icons, painted by the asset generator for
# packaging/windows.
set(STARTUG_INSTALLER_ART ${PROJECT_BINARY_DIR}/installer-art)

# A program the player starts: a Windows GUI program (no console window opens) carrying
# the game's icon and its version. The description stays on the target as
# STARTUG_DESCRIPTION, for the installer's shortcuts.
function(startug_windows_program target description)
  set(STARTUG_PROGRAM ${target})
  set(STARTUG_PROGRAM_DESCRIPTION ${description})
  set(STARTUG_ICO ${STARTUG_ICON_DIR}/${STARTUG_APP_ID}.ico)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/program.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${STARTUG_ICO})
  target_sources(${target} PRIVATE ${rc})
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON
    STARTUG_DESCRIPTION "${description}")
endfunction()
