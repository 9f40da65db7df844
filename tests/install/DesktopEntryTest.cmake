# The desktop entry passes desktop-file-validate; skipped with a message where the tool is
# missing (the test's SKIP_REGULAR_EXPRESSION).
find_program(VALIDATE desktop-file-validate)
if(NOT VALIDATE)
    message("SKIPPED: desktop-file-validate is not installed (Debian: desktop-file-utils)")
    return()
endif()
execute_process(COMMAND ${VALIDATE} ${ENTRY} RESULT_VARIABLE result OUTPUT_VARIABLE output
                ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate: ${output}")
endif()
