# The example book's ledger printed to a PDF: a PDF file of more than one page.
# -DPDF_TOOL=kirjanpito-pdf -DBOOK=book.tlk -DOUT=ledger.pdf, or -DPDF_TOOL=kirjanpito-cli with
# -DPDF_COMMAND=pdf
file(REMOVE "${OUT}")
execute_process(COMMAND "${PDF_TOOL}" ${PDF_COMMAND} ledger "${BOOK}" -o "${OUT}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${PDF_TOOL} ${PDF_COMMAND} failed: ${rc}")
endif()
file(READ "${OUT}" head LIMIT 4 HEX)
if(NOT head STREQUAL "25504446") # "%PDF"
  message(FATAL_ERROR "not a PDF: ${head}")
endif()
file(STRINGS "${OUT}" pages REGEX "/Type /Page([^s]|$)")
list(LENGTH pages count)
if(count LESS 2)
  message(FATAL_ERROR "${count} page(s), expected more than one")
endif()
message(STATUS "${count} pages")
