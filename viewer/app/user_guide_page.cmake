# Wraps cmark's HTML of the user guide in a page of its own.
execute_process(COMMAND ${CMARK} ${INPUT} OUTPUT_VARIABLE body RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cmark could not convert ${INPUT}")
endif()
file(WRITE ${OUTPUT} "<!DOCTYPE html>
<html lang=\"en\"><head><meta charset=\"utf-8\"><title>Velmora user guide</title>
<style>body { font-family: sans-serif; max-width: 45em; margin: 2em auto; line-height: 1.5 }</style>
</head><body>
${body}</body></html>
")
