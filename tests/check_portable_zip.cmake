# The portable zip lists exactly the product's files: cmake -DZIP=<zip> -P this-file
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${ZIP} OUTPUT_VARIABLE listing
  RESULT_VARIABLE status)
string(STRIP "${listing}" listing)
string(REPLACE "\n" ";" files "${listing}")
list(SORT files)
if(NOT status EQUAL 0 OR NOT files STREQUAL "Koravant.chm;Koravant.exe")
  message(FATAL_ERROR "${ZIP} (status ${status}) holds: ${files}")
endif()
