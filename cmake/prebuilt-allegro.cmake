# Allegro and AllegroGL as static libraries that our scripts built into a prefix, for Windows
# and the web (scripts/allegro.sh): STARTUG_ALLEGRO_PREFIX, checked, their two libraries, and
# the startug_allegro target with Allegro's headers and library. PLATFORM names the build in
# the error.
macro(startug_prebuilt_allegro platform)
  set(STARTUG_ALLEGRO_PREFIX "" CACHE PATH "Where the ${platform} build of Allegro 4.4 is installed")
  set(STARTUG_ALLEG_LIBRARY ${STARTUG_ALLEGRO_PREFIX}/lib/liballeg.a)
  set(STARTUG_ALLEGGL_LIBRARY ${STARTUG_ALLEGRO_PREFIX}/lib/liballeggl.a)
  if(NOT EXISTS ${STARTUG_ALLEG_LIBRARY} OR NOT EXISTS ${STARTUG_ALLEGGL_LIBRARY})
    message(FATAL_ERROR "No ${platform} build of Allegro in STARTUG_ALLEGRO_PREFIX='${STARTUG_ALLEGRO_PREFIX}'")
  endif()
  add_library(startug_allegro INTERFACE)
  target_include_directories(startug_allegro SYSTEM INTERFACE ${STARTUG_ALLEGRO_PREFIX}/include)
  target_link_libraries(startug_allegro INTERFACE ${STARTUG_ALLEG_LIBRARY})
endmacro()
