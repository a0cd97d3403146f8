# Refuses any include in SOURCE_DIR that could reach a header around the layers' include roots
# (src/CMakeLists.txt): one relative to the including file, one with "..", an absolute one.
# Headers of the project are included by root-relative names such as "forms/create.h".
# Usage: cmake -DSOURCE_DIR=<folder> -DSTAMP=<file touched when all is well> -P check_includes.cmake
file(GLOB_RECURSE files ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
set(refused "")
foreach(file IN LISTS files)
  get_filename_component(dir ${file} DIRECTORY)
  file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "#[ \t]*include[ \t]*([<\"])([^>\"]*)")
      continue()
    endif()
    set(delimiter "${CMAKE_MATCH_1}")
    set(name "${CMAKE_MATCH_2}")
    # Only quoted names are looked up beside the including file.
    if(name MATCHES "(^|[/\\])\\.\\.([/\\]|$)" OR IS_ABSOLUTE "${name}"
       OR (delimiter STREQUAL "\"" AND EXISTS "${dir}/${name}"))
      string(APPEND refused "\n  ${file}: ${line}")
    endif()
  endforeach()
endforeach()
if(refused)
  message(FATAL_ERROR "Include headers by their root-relative names (\"forms/create.h\"), "
                      "so that the layers' include roots decide what each file sees:${refused}")
endif()
file(TOUCH ${STAMP})
