# Writes the HTML Help project of the program's help into OUT: the document,
# the project file and the keyword index made from SOURCE/quorvex-index.txt
# (keyword<TAB>anchor lines). Run with cmake -P.
file(MAKE_DIRECTORY ${OUT})
configure_file(${SOURCE}/quorvex.html ${OUT}/quorvex.html COPYONLY)

file(STRINGS ${SOURCE}/quorvex-index.txt lines ENCODING UTF-8)
set(index "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\n<HTML>\n<HEAD>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n</HEAD>\n<BODY>\n<UL>\n")
foreach(line IN LISTS lines)
  if(line MATCHES "^#" OR NOT line MATCHES "^([^\t]+)\t([^\t]+)$")
    continue()
  endif()
  string(APPEND index "  <LI><OBJECT type=\"text/sitemap\">\n"
         "    <param name=\"Name\" value=\"${CMAKE_MATCH_1}\">\n"
         "    <param name=\"Local\" value=\"quorvex.html#${CMAKE_MATCH_2}\">\n"
         "  </OBJECT>\n")
endforeach()
string(APPEND index "</UL>\n</BODY>\n</HTML>\n")
file(WRITE ${OUT}/quorvex.hhk "${index}")

file(WRITE ${OUT}/quorvex.hhp "[OPTIONS]
Compatibility=1.1 or later
Compiled file=quorvex.chm
Default topic=quorvex.html
Display compile progress=No
Index file=quorvex.hhk
Language=0x411 Japanese
Title=Quorvex Converter

[FILES]
quorvex.html
")
