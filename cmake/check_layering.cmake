# Fails when a layer includes a header of a layer above it: the base nothing
# but itself, the link nothing of the shell, the features or the programs.
# Run by CTest: cmake -DSOURCE_DIR=<repository>/src -P check_layering.cmake
set(layers
  "base|app link config protocol monitor cli"
  "link|app config protocol monitor cli")
set(found "")
foreach(entry IN LISTS layers)
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 layer)
  list(GET parts 1 above)
  string(REPLACE " " "|" above "${above}")
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<](${above})/")
    foreach(line IN LISTS includes)
      file(RELATIVE_PATH name "${SOURCE_DIR}" "${source}")
      string(STRIP "${line}" line)
      string(APPEND found "  src/${name}: ${line}\n")
    endforeach()
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "a layer includes a layer above it (base -> link -> app -> features):\n${found}")
endif()
