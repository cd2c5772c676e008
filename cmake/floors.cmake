# The floors of the source tree as the build sees them: one static library
# per floor folder, and the check that no file uses a floor it may not use.
# ZORVIK_FLOORS (lowest line first, the folders of one line separated by
# blanks), ZORVIK_ABOVE_FLOORS and <folder>_SOURCES come from CMakeLists.txt.

# Writes the floor list for the check, and makes every floor library wait for
# the check, which runs again whenever a source file changes.
function(zorvik_check_floors)
  set(list_file "${CMAKE_BINARY_DIR}/floor_list.cmake")
  set(text "set(ZORVIK_FLOORS \"${ZORVIK_FLOORS}\")\n")
  string(APPEND text "set(ZORVIK_ABOVE_FLOORS \"${ZORVIK_ABOVE_FLOORS}\")\n")
  set(watched "")
  foreach(line IN LISTS ZORVIK_FLOORS)
    string(REPLACE " " ";" folders "${line}")
    foreach(folder IN LISTS folders)
      string(APPEND text "set(${folder}_SOURCES \"${${folder}_SOURCES}\")\n")
      file(GLOB files CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${folder}/*.h"
           "${CMAKE_SOURCE_DIR}/${folder}/*.cc")
      list(APPEND watched ${files})
    endforeach()
  endforeach()
  file(WRITE "${list_file}" "${text}")
  set(stamp "${CMAKE_BINARY_DIR}/floor_check.stamp")
  add_custom_command(
    OUTPUT "${stamp}"
    COMMAND "${CMAKE_COMMAND}" -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DLIST_FILE=${list_file}
            -DSTAMP=${stamp} -P "${CMAKE_SOURCE_DIR}/cmake/check_floors.cmake"
    DEPENDS ${watched} "${list_file}" "${CMAKE_SOURCE_DIR}/cmake/check_floors.cmake"
    COMMENT "Checking that every include points to a lower floor"
    VERBATIM)
  add_custom_target(zorvik_floor_check ALL DEPENDS "${stamp}")
endfunction()

# zorvik_<folder> for every floor folder, linking the floors of the line
# below it (and through them every lower one).
function(zorvik_add_floors)
  set(below "")
  foreach(line IN LISTS ZORVIK_FLOORS)
    string(REPLACE " " ";" folders "${line}")
    set(here "")
    foreach(folder IN LISTS folders)
      add_library(zorvik_${folder} STATIC ${${folder}_SOURCES})
      target_link_libraries(zorvik_${folder} PUBLIC zorvik_warnings ${below})
      add_dependencies(zorvik_${folder} zorvik_floor_check)
      list(APPEND here zorvik_${folder})
    endforeach()
    set(below ${here})
  endforeach()
endfunction()
