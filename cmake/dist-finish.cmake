# Optional pieces of the distribution: the viewer, once it exists.
if(VIEWER AND EXISTS "${VIEWER}")
  file(COPY_FILE "${VIEWER}" "${DIST}/Syst/Driver/oshv.exe")
endif()
