# Fails when a folder includes a header of a folder above it. The layers, lowest first:
#   store <- kern <- systems <- events <- capture <- online <- cli, app
#   mining sits on systems (beside events, capture and online) and below cli and app.
# Each rule names a folder and the folders its files may include; a file follows the rule of the
# longest folder its path starts with. Folders without a rule (tests, bench) may include anything.
#
#   cmake -DSOURCE_DIR=<top of the tree> -P check_layers.cmake
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

set(regeln
  "store:store"
  "kern:store kern"
  "systems:store kern systems"
  "events:store kern systems events"
  "capture:store kern systems events capture"
  "online:store kern systems events capture online"
  "mining:store kern systems mining"
  "cli:store kern systems events capture online mining cli"
  "app/binding:store app/binding"
  "app/core:store kern app/core"
  "app:store kern systems events capture online mining app"
)

set(verstoesse "")
file(GLOB_RECURSE dateien RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
foreach(datei IN LISTS dateien)
  # The rule of the longest matching folder.
  set(erlaubt "")
  set(laenge 0)
  foreach(regel IN LISTS regeln)
    string(REPLACE ":" ";" teile "${regel}")
    list(GET teile 0 ordner)
    list(GET teile 1 ziele)
    string(LENGTH "${ordner}" l)
    string(FIND "${datei}" "${ordner}/" stelle)
    if(stelle EQUAL 0 AND l GREATER laenge)
      set(laenge ${l})
      string(REPLACE " " ";" erlaubt "${ziele}")
    endif()
  endforeach()
  if(laenge EQUAL 0)
    continue()
  endif()
  file(STRINGS "${SOURCE_DIR}/${datei}" includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"]+\"")
  foreach(zeile IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([^\"]+)\".*$" "\\1" pfad "${zeile}")
    if(NOT pfad MATCHES "/")
      continue()  # a header beside the file
    endif()
    set(ok FALSE)
    foreach(ziel IN LISTS erlaubt)
      string(FIND "${pfad}" "${ziel}/" stelle)
      if(stelle EQUAL 0)
        set(ok TRUE)
      endif()
    endforeach()
    if(NOT ok)
      string(APPEND verstoesse "  ${datei} includes \"${pfad}\"\n")
    endif()
  endforeach()
endforeach()

if(verstoesse)
  message(FATAL_ERROR "Includes against the layer order:\n${verstoesse}")
endif()
message(STATUS "Layer order kept: ${SOURCE_DIR}")
