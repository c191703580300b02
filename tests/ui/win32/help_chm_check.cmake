# Checks the compiled help file: it holds the help document unchanged and its
# keyword index, in Japanese (language 0x0411) with the index in code page
# 932 as a Japanese Windows reads it, one entry per keyword line of the
# source index, and no binary index (which the compiler would fill with "?"
# for every Japanese character).
# cmake -DCHM=… -DSOURCE=<the generated help folder> -DWORK=<scratch folder>
#       -DPYTHON=<python3> -P help_chm_check.cmake
find_program(CHMLS chmls REQUIRED)
execute_process(COMMAND ${CHMLS} list ${CHM} OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "chmls cannot read ${CHM}")
endif()
foreach(entry "/quorvex.html" "/quorvex.hhk" "/#SYSTEM")
  string(FIND "${listing}" "${entry}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${CHM} lacks ${entry}:\n${listing}")
  endif()
endforeach()
string(FIND "${listing}" "$WWKeywordLinks" at)
if(NOT at EQUAL -1)
  message(FATAL_ERROR "${CHM} has a binary index:\n${listing}")
endif()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${CHMLS} extract ${CHM} /quorvex.html ${WORK}/quorvex.html OUTPUT_QUIET)
execute_process(COMMAND ${CHMLS} extract ${CHM} /quorvex.hhk ${WORK}/quorvex.hhk OUTPUT_QUIET)
execute_process(COMMAND ${CHMLS} extract ${CHM} "/#SYSTEM" ${WORK}/system OUTPUT_QUIET)
file(SHA256 ${WORK}/quorvex.html got)
file(SHA256 ${SOURCE}/quorvex.html want)
if(NOT got STREQUAL want)
  message(FATAL_ERROR "the help document in ${CHM} differs from ${SOURCE}/quorvex.html")
endif()
# The charset in the form the viewer's older HTML engine knows.
file(READ ${WORK}/quorvex.html document LIMIT 1024)
string(FIND "${document}" "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the help document does not declare its charset for the viewer")
endif()

# #SYSTEM: the language (record 4, starting with the LCID 0x0411) and the
# index file (record 1).
file(READ ${WORK}/system system HEX)
foreach(record "040024001104" "01000c0071756f727665782e68686b00")
  string(FIND "${system}" "${record}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "#SYSTEM of ${CHM} lacks ${record}: ${system}")
  endif()
endforeach()

# The index in code page 932, as its <meta> says: バッチリスト and
# ショートカットキー in their code page 932 bytes.
file(READ ${WORK}/quorvex.hhk index_hex HEX)
foreach(bytes "636861727365743d53686966745f4a4953" "836f83628360838a83588367"
              "83568387815b8367834a83628367834c815b")
  string(FIND "${index_hex}" "${bytes}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the index lacks the bytes ${bytes}")
  endif()
endforeach()
execute_process(
  COMMAND ${PYTHON} -c "import sys; open(sys.argv[2], 'w', encoding='utf-8').write(open(sys.argv[1], 'rb').read().decode('cp932'))"
          ${WORK}/quorvex.hhk ${WORK}/quorvex-hhk.utf8
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the index is not in code page 932")
endif()

file(STRINGS ${SOURCE}/quorvex-index.txt lines ENCODING UTF-8)
file(READ ${WORK}/quorvex-hhk.utf8 index)
set(expected 0)
foreach(line IN LISTS lines)
  if(line MATCHES "^#" OR NOT line MATCHES "^([^\t]+)\t([^\t]+)$")
    continue()
  endif()
  math(EXPR expected "${expected} + 1")
  string(FIND "${index}" "<param name=\"Name\" value=\"${CMAKE_MATCH_1}\">\n    <param name=\"Local\" value=\"quorvex.html#${CMAKE_MATCH_2}\">" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the index lacks ${CMAKE_MATCH_1} -> ${CMAKE_MATCH_2}")
  endif()
endforeach()
string(REGEX MATCHALL "text/sitemap" entries "${index}")
list(LENGTH entries count)
if(NOT count EQUAL expected)
  message(FATAL_ERROR "the index has ${count} entries, the source ${expected}")
endif()
message(STATUS "quorvex.chm: document and ${count} index entries")
