# Builds the release and its archive from the sources at SOURCE, as make dist
# does: the windows preset's tree, with the shipped hosts (-U drops hosts an
# earlier "make dist OSH_PUBLISHER_HOST=..." left in its cache).
# Arguments: -DSOURCE=<source folder>
foreach(step "--preset;windows;-UOSH_PROBE_HOST;-UOSH_PUBLISHER_HOST"
             "--build;--preset;windows;--target;dist")
  execute_process(COMMAND ${CMAKE_COMMAND} ${step} WORKING_DIRECTORY ${SOURCE} RESULT_VARIABLE failed)
  if(failed)
    string(REPLACE ";" " " shown "${step}")
    message(FATAL_ERROR "cmake ${shown} failed: the release archive was not built")
  endif()
endforeach()
