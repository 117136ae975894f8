# Writes the manual page as plain UTF-8 text, for the Windows ZIP.
# usage: cmake -DGROFF=groff -DPAGE=logweave.1 -DTEXT=manual.txt -P manual_text.cmake
execute_process(COMMAND ${GROFF} -man -Tutf8 -P-cbou ${PAGE}
                OUTPUT_FILE ${TEXT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE ${TEXT})
  message(FATAL_ERROR "groff could not write ${TEXT}")
endif()
