# Allegro and AllegroGL for Windows: static libraries cross-built with MinGW-w64 from
# Debian's own source of the Allegro version the Linux build uses (scripts/windows.sh
# builds them and passes their prefix). Windows ships OpenGL 1.1 and GLU itself.
set(STARTUG_ALLEGRO_PREFIX "" CACHE PATH "Where the Windows build of Allegro 4.4 is installed")
set(STARTUG_ALLEG_LIBRARY ${STARTUG_ALLEGRO_PREFIX}/lib/liballeg.a)
set(STARTUG_ALLEGGL_LIBRARY ${STARTUG_ALLEGRO_PREFIX}/lib/liballeggl.a)
if(NOT EXISTS ${STARTUG_ALLEG_LIBRARY} OR NOT EXISTS ${STARTUG_ALLEGGL_LIBRARY})
  message(FATAL_ERROR "No Windows build of Allegro in STARTUG_ALLEGRO_PREFIX='${STARTUG_ALLEGRO_PREFIX}'")
endif()

add_library(startug_allegro INTERFACE)
target_include_directories(startug_allegro SYSTEM INTERFACE ${STARTUG_ALLEGRO_PREFIX}/include)
target_compile_definitions(startug_allegro INTERFACE ALLEGRO_STATICLINK)
# The DirectX, GDI and multimedia parts of Windows Allegro's drivers use.
target_link_libraries(startug_allegro INTERFACE ${STARTUG_ALLEG_LIBRARY}
  gdi32 winmm ole32 dinput ddraw dxguid dsound user32 kernel32 comdlg32)
add_library(startug_allegrogl INTERFACE)
target_link_libraries(startug_allegrogl INTERFACE ${STARTUG_ALLEGGL_LIBRARY} startug_allegro opengl32)
add_library(startug_opengl INTERFACE)
target_link_libraries(startug_opengl INTERFACE opengl32 glu32)

# Programs that need no DLL beyond Windows' own: the C and C++ runtimes linked in.
add_link_options(-static -static-libgcc -static-libstdc++)
