# Packs the game's files into the one data file the page fetches, and writes the script that
# tells the page their names and sizes in pack order:
# cmake -DGAME_DIR=DIR -DFILES=a;b;... -DDATA=startug.data -DINDEX=startug-data.js -P pack.cmake
set(paths "")
set(entries "")
foreach(name IN LISTS FILES)
  file(SIZE ${GAME_DIR}/${name} size)
  list(APPEND paths ${GAME_DIR}/${name})
  string(APPEND entries "  [\"${name}\", ${size}],\n")
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E cat ${paths} OUTPUT_FILE ${DATA}
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "Could not pack the game's files into ${DATA}")
endif()
file(WRITE ${INDEX} "// The game's files in startug.data, in order: name, size in bytes.\n"
  "const STARTUG_FILES = [\n${entries}];\n")
