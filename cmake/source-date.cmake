# The time every build of one commit stamps into Kavrel.exe: SOURCE_DATE_EPOCH
# when it is set, else the last commit's time, so that two builds of a commit
# are alike wherever and whenever they run.
function(kavrel_source_date_epoch out)
  if(DEFINED ENV{SOURCE_DATE_EPOCH} AND NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
    set(epoch $ENV{SOURCE_DATE_EPOCH})
  else()
    execute_process(COMMAND git -C ${CMAKE_SOURCE_DIR} log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE git_result ERROR_QUIET)
    if(NOT git_result EQUAL 0 OR epoch STREQUAL "")
      message(WARNING "neither SOURCE_DATE_EPOCH nor a git commit: Kavrel.exe is stamped 0")
      set(epoch 0)
    endif()
  endif()
  if(NOT epoch MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH is not a number of seconds: ${epoch}")
  endif()
  set(${out} ${epoch} PARENT_SCOPE)
endfunction()
