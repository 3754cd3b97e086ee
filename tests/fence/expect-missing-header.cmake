# Builds each of TARGETS (target=header pairs, comma-separated) in the build
# folder BUILD; passes only if every one fails because its header is not found.
string(REPLACE "," ";" TARGETS "${TARGETS}")
foreach(case IN LISTS TARGETS)
  string(REPLACE "=" ";" pair ${case})
  list(GET pair 0 target)
  list(GET pair 1 header)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target ${target}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(result EQUAL 0)
    message(FATAL_ERROR "${target} was built: a portable room reached ${header}")
  endif()
  string(FIND "${output}" "${header}: No such file or directory" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "${target} failed for another reason than ${header}:\n${output}")
  endif()
  message(STATUS "${target}: ${header} not found, as it must be")
endforeach()
