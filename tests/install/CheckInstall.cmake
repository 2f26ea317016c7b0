# Run by ctest as `cmake -P`: installs BUILD_DIR into PREFIX and checks what landed there.

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${result}):\n${output}")
endif()

set(missing "")
macro(expect_file path)
  if(NOT EXISTS "${PREFIX}/${path}")
    list(APPEND missing "${path}")
  endif()
endmacro()

expect_file(bin/tallyglass-report)
if(WITH_GUI)
  expect_file(bin/tallyglass)
  expect_file(share/applications/tallyglass.desktop)
  expect_file(share/kio/servicemenus/tallyglass-examine.desktop)
  expect_file(share/metainfo/${APP_ID}.metainfo.xml)
  foreach(size 16 24 32 48 64 128 256)
    expect_file(share/icons/hicolor/${size}x${size}/apps/tallyglass.png)
  endforeach()
  expect_file(share/icons/hicolor/scalable/apps/tallyglass.svg)
endif()
if(missing)
  list(JOIN missing "\n  " listed)
  message(FATAL_ERROR "not installed under ${PREFIX}:\n  ${listed}")
endif()

# Both programs tell the one version. A lone --version answers before any window or start-up
# runs, so the bulletin check is never reached here.
set(programs tallyglass-report)
if(WITH_GUI)
  list(APPEND programs tallyglass)
endif()
foreach(program IN LISTS programs)
  execute_process(COMMAND "${PREFIX}/bin/${program}" --version
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 30)
  if(NOT result EQUAL 0 OR NOT output STREQUAL "${program} ${VERSION_TEXT}\n")
    message(FATAL_ERROR "${program} --version answered ${result}: ${output}${errors}")
  endif()
endforeach()

if(NOT WITH_GUI)
  return()
endif()

# A file manager's "Open With" hands the file to the program through %f, for any file: every
# type inherits application/octet-stream.
file(READ "${PREFIX}/share/applications/tallyglass.desktop" desktop)
foreach(line "Exec=tallyglass %f" "Icon=tallyglass" "Name=Tallyglass" "Categories=Utility;")
  string(FIND "${desktop}" "\n${line}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the desktop entry lacks the line \"${line}\"")
  endif()
endforeach()
if(NOT desktop MATCHES "\nMimeType=([^\n]*;)?application/octet-stream;")
  message(FATAL_ERROR "the desktop entry does not list application/octet-stream")
endif()

# Dolphin's service menu: one action on any file, in groups and keys KDE reads.
set(servicemenu "${PREFIX}/share/kio/servicemenus/tallyglass-examine.desktop")
file(READ "${servicemenu}" menu)
foreach(line "[Desktop Entry]" "Type=Service" "X-KDE-ServiceTypes=KonqPopupMenu/Plugin"
             "MimeType=application/octet-stream;" "Actions=examine;" "[Desktop Action examine]"
             "Name=Examine with Tallyglass" "Icon=tallyglass" "Exec=tallyglass %f")
  string(FIND "\n${menu}" "\n${line}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the service menu lacks the line \"${line}\"")
  endif()
endforeach()
string(FIND "${menu}" "[Desktop Action examine]" action_at)
string(FIND "${menu}" "Name=Examine with Tallyglass" name_at)
string(FIND "${menu}" "Exec=tallyglass %f" exec_at)
if(name_at LESS action_at OR exec_at LESS action_at)
  message(FATAL_ERROR "the service menu's name and command lie outside its action's group")
endif()

file(READ "${PREFIX}/share/metainfo/${APP_ID}.metainfo.xml" metainfo)
foreach(text "<id>${APP_ID}</id>" "<release version=\"${VERSION_TEXT}\"" "<launchable type=\"desktop-id\">tallyglass.desktop</launchable>")
  string(FIND "${metainfo}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the metainfo lacks ${text}")
  endif()
endforeach()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
  execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${PREFIX}/share/applications/tallyglass.desktop"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0 OR output MATCHES "error")
    message(FATAL_ERROR "desktop-file-validate:\n${output}")
  endif()
  # The validator knows application entries only: MimeType and Actions of KDE's service type
  # are what a service menu is made of, and the one complaint it may raise about them.
  execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${servicemenu}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  string(REGEX REPLACE "[^\n]*error: key \"(MimeType|Actions)\" is present in group \"Desktop Entry\", but the type is \"Service\"[^\n]*\n?" "" left "${output}")
  if(left MATCHES "error")
    message(FATAL_ERROR "desktop-file-validate, on the service menu:\n${output}")
  endif()
else()
  message(STATUS "desktop-file-validate is not installed; the desktop entry was not validated")
endif()

find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
  execute_process(COMMAND "${APPSTREAMCLI}" validate --no-net "${PREFIX}/share/metainfo/${APP_ID}.metainfo.xml"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "appstreamcli validate:\n${output}")
  endif()
else()
  message(STATUS "appstreamcli is not installed; the metainfo was not validated")
endif()
