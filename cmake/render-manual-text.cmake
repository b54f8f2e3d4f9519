# Renders a manual page as plain text: cmake -DGROFF=... -DPAGE=... -DTEXT=... -P render-manual-text.cmake
# GROFF_NO_SGR and -P-cbou leave no bold, underline or colour sequences.
set(ENV{GROFF_NO_SGR} 1)
execute_process(COMMAND ${GROFF} -t -man -Tascii -P-cbou ${PAGE}
  OUTPUT_FILE ${TEXT} RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR NOT errors STREQUAL "")
  file(REMOVE ${TEXT})
  message(FATAL_ERROR "groff could not render ${PAGE}: ${errors}")
endif()
