# Runs one scenario script through plonta-sim and compares what it prints.
#   cmake -DSIM=<plonta-sim> -DSCRIPT=<name.sim> -P run_scenario.cmake
# name.expected holds the standard output. A scenario that must fail also has name.err with
# the expected standard error; it must then end with status 2, otherwise with 0.
cmake_minimum_required(VERSION 3.25)

cmake_path(REPLACE_EXTENSION SCRIPT LAST_ONLY ".expected" OUTPUT_VARIABLE expected_file)
cmake_path(REPLACE_EXTENSION SCRIPT LAST_ONLY ".err" OUTPUT_VARIABLE err_file)

execute_process(COMMAND "${SIM}" "${SCRIPT}"
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)

file(READ "${expected_file}" expected)
set(expected_status 0)
set(expected_err "")
if(EXISTS "${err_file}")
    set(expected_status 2)
    file(READ "${err_file}" expected_err)
endif()

set(failed FALSE)
if(NOT status STREQUAL expected_status)
    message(SEND_ERROR "exit status ${status}, expected ${expected_status}")
    set(failed TRUE)
endif()
if(NOT err STREQUAL expected_err)
    message(SEND_ERROR "standard error differs:\n--- expected\n${expected_err}--- actual\n${err}")
    set(failed TRUE)
endif()
if(NOT out STREQUAL expected)
    # Name the first line that differs, so a long dump is easy to compare.
    string(REPLACE "\n" ";" expected_lines "${expected}")
    string(REPLACE "\n" ";" actual_lines "${out}")
    list(LENGTH expected_lines n_expected)
    list(LENGTH actual_lines n_actual)
    set(line 0)
    while(line LESS n_expected AND line LESS n_actual)
        list(GET expected_lines ${line} e)
        list(GET actual_lines ${line} a)
        if(NOT e STREQUAL a)
            break()
        endif()
        math(EXPR line "${line} + 1")
    endwhile()
    math(EXPR shown "${line} + 1")
    message(SEND_ERROR "output line ${shown} differs (${n_actual} lines, expected ${n_expected}):\n"
                       "--- expected\n${expected}--- actual\n${out}")
    set(failed TRUE)
endif()
if(failed)
    message(FATAL_ERROR "scenario ${SCRIPT} failed")
endif()
