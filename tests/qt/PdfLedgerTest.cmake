# The example book's ledger printed to a PDF: a PDF file of more than one page.
# -DPDF_TOOL=kirjanpito-pdf -DBOOK=book.tlk -DOUT=ledger.pdf
file(REMOVE "${OUT}")
execute_process(COMMAND "${PDF_TOOL}" ledger "${BOOK}" -o "${OUT}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "kirjanpito-pdf failed: ${rc}")
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
