# The portable zip lists exactly the product's files: cmake -DZIP=<zip> -P this-file
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${ZIP} OUTPUT_VARIABLE listing
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot read ${ZIP}")
endif()
string(REGEX REPLACE "\n$" "" listing "${listing}")
string(REPLACE "\n" ";" files "${listing}")
list(SORT files)
if(NOT files STREQUAL "Koravant.chm;Koravant.exe")
  message(FATAL_ERROR "${ZIP} holds: ${files}")
endif()
