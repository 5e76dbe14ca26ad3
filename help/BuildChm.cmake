# Compiles TVR.chm from the sources of help/ with chmcmd, in a scratch copy of the
# folder, then replaces the kept TVR.chm and the copy beside the executable.
# Run by the tvr_chm target: cmake -DSOURCE_DIR=.. -DSTAGE_DIR=.. -DCHMCMD=..
#   -DCOPY_TO=.. -P BuildChm.cmake
foreach(var SOURCE_DIR STAGE_DIR CHMCMD COPY_TO)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "BuildChm.cmake: ${var} is not set")
    endif()
endforeach()

file(REMOVE_RECURSE "${STAGE_DIR}")
file(MAKE_DIRECTORY "${STAGE_DIR}")
file(GLOB sources "${SOURCE_DIR}/*.html" "${SOURCE_DIR}/*.css" "${SOURCE_DIR}/TVR.hh?")
file(COPY ${sources} "${SOURCE_DIR}/images" DESTINATION "${STAGE_DIR}")

# chmcmd resolves the project's file names against the working directory.
execute_process(COMMAND "${CHMCMD}" TVR.hhp
                WORKING_DIRECTORY "${STAGE_DIR}"
                RESULT_VARIABLE result
                OUTPUT_VARIABLE output
                ERROR_VARIABLE output)
string(REGEX MATCHALL "[^\n]*(Error|Warning)[^\n]*" problems "${output}")
if(NOT result EQUAL 0 OR problems OR NOT EXISTS "${STAGE_DIR}/TVR.chm")
    message(FATAL_ERROR "chmcmd failed (${result}):\n${output}")
endif()

file(COPY_FILE "${STAGE_DIR}/TVR.chm" "${SOURCE_DIR}/TVR.chm")
file(COPY_FILE "${STAGE_DIR}/TVR.chm" "${COPY_TO}")
message(STATUS "TVR.chm compiled into ${SOURCE_DIR} and ${COPY_TO}")
