# Runs the README's frame script in a scratch folder and checks that it wrote its picture.
# Usage: cmake -DSIM=<plonta-sim> -DSCRIPT=<readme-frame.sim> -DWORK=<folder> -P readme_frame.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/docs)
execute_process(COMMAND ${SIM} ${SCRIPT} WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status
                ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "plonta-sim failed (${status}): ${errors}")
endif()
if(NOT EXISTS ${WORK}/docs/screenshot.png)
    message(FATAL_ERROR "no docs/screenshot.png written")
endif()
file(READ ${WORK}/docs/screenshot.png header LIMIT 24 HEX)
# The PNG signature, then the IHDR chunk with width 400 and height 500.
if(NOT header MATCHES "^89504e470d0a1a0a0000000d4948445200000190000001f4")
    message(FATAL_ERROR "docs/screenshot.png is no 400 by 500 PNG: ${header}")
endif()
