# cmake --install into a fresh prefix, then the installed programs run from there: kirjanpito-cli
# reads a book and prints through the installed kirjanpito-pdf, kirjanpito answers --version, and
# the installed window opens a book given by its path and finds its help page (its --screenshots
# run ends in a picture of the help window; a missing page would stop it at an error box).
# -DBUILD=build dir -DPREFIX=temporary prefix -DBOOK=book.tlk
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
                OUTPUT_QUIET RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
foreach(file bin/kirjanpito bin/kirjanpito-cli bin/kirjanpito-pdf share/kirjanpito/kirjanpito.html
        share/applications/kirjanpito.desktop share/icons/hicolor/scalable/apps/kirjanpito.svg
        share/mime/packages/kirjanpito-tlk.xml)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
file(STRINGS "${PREFIX}/share/applications/kirjanpito.desktop" exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=${PREFIX}/bin/kirjanpito %f")
  message(FATAL_ERROR "menu entry runs ${exec}")
endif()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err
                  TIMEOUT 60)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed: ${rc}\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()
run("${PREFIX}/bin/kirjanpito-cli" info "${BOOK}")
run("${PREFIX}/bin/kirjanpito-cli" pdf vat "${BOOK}" -o "${PREFIX}/alv.pdf")
run("${PREFIX}/bin/kirjanpito" --version)
if(NOT out MATCHES "^kirjanpito [0-9]")
  message(FATAL_ERROR "--version said: ${out}")
endif()
set(ENV{XDG_CONFIG_HOME} "${PREFIX}/config")
run("${PREFIX}/bin/kirjanpito" "${BOOK}" --screenshots "${PREFIX}/kuvat")
foreach(picture sivu-2.png ohje.png)
  if(NOT EXISTS "${PREFIX}/kuvat/${picture}")
    message(FATAL_ERROR "no ${picture}")
  endif()
endforeach()
find_program(VALIDATE desktop-file-validate)
if(VALIDATE)
  run("${VALIDATE}" "${PREFIX}/share/applications/kirjanpito.desktop")
endif()
