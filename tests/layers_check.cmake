# The command line and the window reach MIF tables through the engine only:
# no source under src/cli or src/ui includes a header of src/mif.
# Run as: cmake -DSOURCE=<repository>/src -P layers_check.cmake
file(GLOB_RECURSE sources ${SOURCE}/cli/*.cpp ${SOURCE}/cli/*.h ${SOURCE}/ui/*.cpp ${SOURCE}/ui/*.h)
set(found "")
foreach(source IN LISTS sources)
  file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]mif/")
  foreach(line IN LISTS lines)
    file(RELATIVE_PATH name ${SOURCE} ${source})
    string(APPEND found "  ${name}: ${line}\n")
  endforeach()
endforeach()
if(NOT sources)
  message(FATAL_ERROR "no sources found under ${SOURCE}")
endif()
if(found)
  message(FATAL_ERROR "headers of src/mif included outside the engine:\n${found}")
endif()
