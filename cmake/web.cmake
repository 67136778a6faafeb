# Allegro and AllegroGL for the web: static libraries built with Emscripten from Debian's own
# source of the Allegro version the Linux build uses, with our web platform for them
# (web/allegro/; scripts/web.sh builds them and passes their prefix). OpenGL 1.x is our own
# layer over WebGL 2 (web/gl/).
include(${CMAKE_CURRENT_LIST_DIR}/prebuilt-allegro.cmake)
startug_prebuilt_allegro(web)

# The site the build lays out: the pages, the programs and their data (packaging/web/).
set(STARTUG_SITE_DIR ${PROJECT_BINARY_DIR}/site)

# Exceptions cross the game's blocking loop, whose rests hand the browser its frames.
add_compile_options(-fexceptions)
add_link_options(-fexceptions -sASYNCIFY=1 -sASYNCIFY_STACK_SIZE=65536 -sALLOW_MEMORY_GROWTH=1)

add_subdirectory(${PROJECT_SOURCE_DIR}/web/gl ${PROJECT_BINARY_DIR}/webgl)
add_library(startug_allegrogl INTERFACE)
target_link_libraries(startug_allegrogl INTERFACE ${STARTUG_ALLEGGL_LIBRARY} startug_allegro
  startug_webgl)
add_library(startug_opengl INTERFACE)
target_link_libraries(startug_opengl INTERFACE startug_webgl)

if(STARTUG_TESTS)
  # GoogleTest from Debian's source of it, built with Emscripten, without threads.
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Test programs run under node, with the machine's files as their file system. Node's own
  # fetch would make the loader fetch the .wasm by path instead of reading it.
  find_program(STARTUG_NODE NAMES node nodejs REQUIRED)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${STARTUG_NODE} --no-experimental-fetch)
endif()

# A program the player starts from a page: a module the page instantiates, once per game,
# with its own files, and which tells the page how it ended.
function(startug_web_program target)
  target_link_options(${target} PRIVATE -sENVIRONMENT=web -sMODULARIZE=1
    -sEXPORT_NAME=StarTug -sEXIT_RUNTIME=1 -sFORCE_FILESYSTEM=1
    "-sEXPORTED_RUNTIME_METHODS=[FS,addRunDependency,removeRunDependency]")
endfunction()

# What a test program's recording layer stands in for. WebAssembly's linker cannot let a
# program's own definitions override a library's: the program's calls are renamed to
# __wrap_NAME instead (--wrap), its own code, the recording layer with it, is compiled
# with those names, and the libraries keep theirs.
set(STARTUG_RECORDED_CALLS
  glBegin glEnd glVertex2f glVertex3f glNormal3f glTexCoord2f glColor3f glColor4f glEnable
  glDisable glBlendFunc glBindTexture glMatrixMode glLoadIdentity glOrtho glTranslatef
  glRotatef glScalef glPushMatrix glPopMatrix glGetError glClear glClearColor glClearDepth
  glDepthFunc glShadeModel glPolygonMode glLightfv glGenTextures glDeleteTextures
  glTexParameteri glReadBuffer glCopyTexImage2D glGetIntegerv gluPerspective
  allegro_gl_flip allegro_gl_make_texture_ex rest play_sample)
function(startug_web_recorded_gl target)
  foreach(name IN LISTS STARTUG_RECORDED_CALLS)
    target_compile_definitions(${target} PRIVATE ${name}=__wrap_${name})
    target_link_options(${target} PRIVATE LINKER:--wrap=${name})
  endforeach()
endfunction()
