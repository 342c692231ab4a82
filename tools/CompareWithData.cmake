# compare_with_data(WORK DATA NAMES...): fails, naming them, when any of the
# files NAMES under WORK differs from the one under DATA. Used by the tests
# that regenerate content and compare it with what is committed.
function(compare_with_data work data)
  set(stale)
  foreach(name IN LISTS ARGN)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${work}/${name} ${data}/${name} RESULT_VARIABLE differs)
    if(NOT differs EQUAL 0)
      list(APPEND stale ${name})
    endif()
  endforeach()
  if(stale)
    message(FATAL_ERROR "differs from data/ (run tools/make-content.sh): ${stale}")
  endif()
endfunction()
