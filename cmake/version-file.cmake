# Writes the version file a publisher puts online for this release: the
# release code in section "version", the version number and the seven lines of
# release notes (Windows-1252, one per line) in section "info". CR LF throughout.
# Arguments: -DVERSION=2.2.0 -DCODE=2002000 -DNOTES=<notes file> -DOUT=<file>

file(READ "${NOTES}" notes)
string(REPLACE "\r" "" notes "${notes}")
set(text "[version]\r\ndispo=${CODE}\r\n\r\n[info]\r\nline1=${VERSION}\r\n")
set(n 2)
while(n LESS_EQUAL 8)
  string(FIND "${notes}" "\n" eol)
  if(eol EQUAL -1)
    set(line "${notes}")
    set(notes "")
  else()
    string(SUBSTRING "${notes}" 0 ${eol} line)
    math(EXPR next "${eol} + 1")
    string(SUBSTRING "${notes}" ${next} -1 notes)
  endif()
  string(APPEND text "line${n}=${line}\r\n")
  math(EXPR n "${n} + 1")
endwhile()
file(WRITE "${OUT}" "${text}")
