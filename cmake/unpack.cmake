# Unpacks ARCHIVE into DESTINATION, which is emptied first: the release as a
# user gets it.
if(NOT EXISTS ${ARCHIVE})
  message(FATAL_ERROR "${ARCHIVE} is missing (make dist builds the release archive)")
endif()
file(REMOVE_RECURSE ${DESTINATION})
file(MAKE_DIRECTORY ${DESTINATION})
file(ARCHIVE_EXTRACT INPUT ${ARCHIVE} DESTINATION ${DESTINATION})
