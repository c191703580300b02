# Writes the HTML Help project of the program's help into OUT: the document,
# the project file and the keyword index made from SOURCE/quorvex-index.txt
# (keyword<TAB>anchor lines). Run with cmake -DPYTHON=<python3> -P.
#
# The help viewer reads the index in the code page of the help file's
# language (Japanese: code page 932), so the index is written in that code
# page, as its <meta> says. The compiler would read such an index as UTF-8
# for a binary index of its own, so the help file has none: the viewer
# shows the index file itself. The document keeps UTF-8, which it declares.
file(MAKE_DIRECTORY ${OUT})
configure_file(${SOURCE}/quorvex.html ${OUT}/quorvex.html COPYONLY)

file(STRINGS ${SOURCE}/quorvex-index.txt lines ENCODING UTF-8)
set(index "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\n<HTML>\n<HEAD>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\n</HEAD>\n<BODY>\n<UL>\n")
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
file(WRITE ${OUT}/quorvex-hhk.utf8 "${index}")
# Python's cp932 is Windows' own table; a keyword it cannot hold stops the build.
execute_process(
  COMMAND ${PYTHON} -c "import sys; open(sys.argv[2], 'wb').write(open(sys.argv[1], encoding='utf-8').read().encode('cp932'))"
          ${OUT}/quorvex-hhk.utf8 ${OUT}/quorvex.hhk
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the help index cannot be written in code page 932")
endif()

file(WRITE ${OUT}/quorvex.hhp "[OPTIONS]
Binary Index=No
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
