# Checks that the program's sources include only along the library graph
# (the README's "Libraries" section): each folder below is one library and
# may include its own headers and those of the folders it names. A source
# in a folder that the graph does not know, or an include of a folder that
# its library may not use, fails the check.
#
#   cmake -DROOT=<source tree> -P tools/check-includes.cmake

cmake_minimum_required(VERSION 3.20)

set(GRAPH
  "platform:platform"
  "platform/sdl:platform"
  "platform/canvas:platform"
  "chess:platform"
  "chess/view:chess,platform,platform/canvas"
  "assets:platform"
  "render:assets,platform,platform/sdl"
  "audio:platform,platform/sdl"
  "game/geometry:chess,platform"
  "game/embedded:platform"
  "game/logic:game/geometry,chess,platform"
  "game:game/logic,game/geometry,game/embedded,render,audio,assets,chess,platform,platform/sdl"
  "app:game,platform,platform/sdl"
)

if(NOT ROOT)
  message(FATAL_ERROR "ROOT (the source tree) is not set")
endif()

set(known)
foreach(entry IN LISTS GRAPH)
  string(REPLACE ":" ";" parts "${entry}")
  list(GET parts 0 folder)
  list(APPEND known "${folder}")
  list(LENGTH parts n)
  set(allowed_${folder} "${folder}")
  if(n GREATER 1)
    list(GET parts 1 deps)
    string(REPLACE "," ";" deps "${deps}")
    list(APPEND allowed_${folder} ${deps})
  endif()
endforeach()

set(failures 0)
set(sources)
foreach(top platform chess assets render audio game app)
  file(GLOB_RECURSE found RELATIVE "${ROOT}" "${ROOT}/${top}/*.h" "${ROOT}/${top}/*.cpp")
  list(APPEND sources ${found})
endforeach()
list(LENGTH sources count)
if(count EQUAL 0)
  message(FATAL_ERROR "no sources found under ${ROOT}")
endif()

foreach(source IN LISTS sources)
  get_filename_component(folder "${source}" DIRECTORY)
  if(NOT folder IN_LIST known)
    message(SEND_ERROR "${source}: the folder ${folder} is no library of the graph")
    math(EXPR failures "${failures} + 1")
    continue()
  endif()
  file(STRINGS "${ROOT}/${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]+\"")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([^\"]+)\".*$" "\\1" header "${line}")
    get_filename_component(target "${header}" DIRECTORY)
    if(NOT target IN_LIST allowed_${folder})
      message(SEND_ERROR "${source}: includes ${header}, but ${folder} may include only ${allowed_${folder}}")
      math(EXPR failures "${failures} + 1")
    endif()
  endforeach()
endforeach()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} include(s) against the library graph")
endif()
message(STATUS "${count} sources include along the library graph")
