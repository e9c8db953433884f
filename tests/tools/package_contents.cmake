# The .deb: its exact file list, control fields, a valid launcher whose icon and programs are in
cmake_minimum_required(VERSION 3.18)
# the package, and manual pages that format without warnings.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(GLOB debs ${DEB_DIR}/kusolvanta_*.deb)
list(LENGTH debs n)
if(NOT n EQUAL 1)
  message(FATAL_ERROR "expected one package in ${DEB_DIR}, found: ${debs}")
endif()
find_program(DPKG_DEB dpkg-deb REQUIRED)
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate REQUIRED)
find_program(GROFF groff REQUIRED)
find_program(GZIP gzip REQUIRED)

execute_process(COMMAND ${DPKG_DEB} --contents ${debs} OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
# Files and links only (directories end in /), as "path" or "path -> target" below /usr.
string(REGEX MATCHALL "\\./usr/[^\n]*[^/\n]\n" lines "${listing}")
set(entries)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^\\./usr/|\n$" "" line "${line}")
  list(APPEND entries "${line}")
endforeach()
list(SORT entries)
set(expected
  "bin/kusolvanta"
  "bin/kusolvanta-capture"
  "bin/kusolvanta-render"
  "bin/kusolvantaw -> kusolvanta"
  "share/applications/kusolvanta.desktop"
  "share/doc/kusolvanta/changelog.gz"
  "share/icons/hicolor/256x256/apps/kusolvanta.png"
  "share/icons/hicolor/48x48/apps/kusolvanta.png"
  "share/man/man1/kusolvanta-capture.1.gz"
  "share/man/man1/kusolvanta-render.1.gz"
  "share/man/man6/kusolvanta.6.gz"
  "share/man/man6/kusolvantaw.6.gz -> kusolvanta.6.gz")
if(NOT rc EQUAL 0 OR NOT entries STREQUAL expected)
  string(REPLACE ";" "\n  " entries "${entries}")
  message(FATAL_ERROR "package files (status ${rc}):\n  ${entries}")
endif()

# Each field: name | a regular expression its value must match.
set(fields
  "Package|^kusolvanta$"
  "Section|^games$"
  "Architecture|^[a-z0-9]+$"
  "Maintainer|^[^<]+ <[^@>]+@[^>]+>$"
  "Depends|libsdl1.2debian"
  "Depends|libgl1"
  "Depends|libc6 \\(>= "
  "Depends|libstdc\\+\\+6"
  "Depends|libgcc-s1"
  "Recommends|^ffmpeg$"
  "Description|^self-running audiovisual demo")
foreach(field IN LISTS fields)
  string(REPLACE "|" ";" field "${field}")
  list(GET field 0 name)
  list(GET field 1 pattern)
  execute_process(COMMAND ${DPKG_DEB} --field ${debs} ${name} OUTPUT_VARIABLE value OUTPUT_STRIP_TRAILING_WHITESPACE)
  string(REGEX REPLACE "\n.*" "" value "${value}")
  if(NOT value MATCHES "${pattern}")
    message(FATAL_ERROR "control field ${name}: '${value}' does not match '${pattern}'")
  endif()
endforeach()

execute_process(COMMAND ${DPKG_DEB} -x ${debs} ${WORK}/root RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dpkg-deb -x: status ${rc}")
endif()
set(usr ${WORK}/root/usr)
set(launcher ${usr}/share/applications/kusolvanta.desktop)
execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${launcher} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR out)
  message(FATAL_ERROR "desktop-file-validate (status ${rc}):\n${out}")
endif()
# The launcher's icon and every program it starts are in the package.
file(STRINGS ${launcher} lines REGEX "^(Icon|Exec)=")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^[A-Za-z]+=([^ ]+).*" "\\1" name "${line}")
  if(line MATCHES "^Icon=" AND NOT EXISTS ${usr}/share/icons/hicolor/48x48/apps/${name}.png)
    message(FATAL_ERROR "the launcher's ${line} is not an installed icon")
  elseif(line MATCHES "^Exec=" AND NOT EXISTS ${usr}/bin/${name})
    message(FATAL_ERROR "the launcher's ${line} is not an installed program")
  endif()
endforeach()

# The pages format cleanly, and the demo's page tells of both ways to get a window.
foreach(page man6/kusolvanta.6 man1/kusolvanta-render.1 man1/kusolvanta-capture.1)
  execute_process(COMMAND ${GZIP} -dc ${usr}/share/man/${page}.gz
                  COMMAND ${GROFF} -man -Tutf8 -ww -rLL=80n -P-cbou
                  OUTPUT_VARIABLE text ERROR_VARIABLE warnings RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR warnings OR NOT text MATCHES "NAME")
    message(FATAL_ERROR "${page} (status ${rc}) warns:\n${warnings}")
  endif()
  set(text_${page} "${text}")
endforeach()
string(REGEX REPLACE "[ \n]+" " " demoPage "${text_man6/kusolvanta.6}")
foreach(phrase "kusolvanta \\[-w\\]" "kusolvantaw" "ends in the letter w")
  if(NOT demoPage MATCHES "${phrase}")
    message(FATAL_ERROR "kusolvanta.6 does not say '${phrase}'")
  endif()
endforeach()
