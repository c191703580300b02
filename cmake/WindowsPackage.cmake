# The portable Windows package: a zip of the programs, a short Japanese
# read-me and the licence, built by the target `package-zip`.
# Programs join the package with
#   set_property(GLOBAL APPEND PROPERTY QUORVEX_PACKAGE_PROGRAMS <target>)
# Include this file after every target is defined.
# Other files (the help) join it with
#   set_property(GLOBAL APPEND PROPERTY QUORVEX_PACKAGE_FILES <path>)
get_property(programs GLOBAL PROPERTY QUORVEX_PACKAGE_PROGRAMS)
get_property(package_files GLOBAL PROPERTY QUORVEX_PACKAGE_FILES)
set(QUORVEX_PACKAGE_NAME "QuorvexConverter-${PROJECT_VERSION}-win64")
set(stage ${CMAKE_BINARY_DIR}/package/${QUORVEX_PACKAGE_NAME})
set(VERSION ${PROJECT_VERSION})
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/README-ja.txt
               ${CMAKE_BINARY_DIR}/package/README-ja.txt @ONLY NEWLINE_STYLE CRLF)
set(copy_programs)
foreach(t IN LISTS programs)
  list(APPEND copy_programs COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${t}> ${stage}/)
endforeach()
foreach(f IN LISTS package_files)
  list(APPEND copy_programs COMMAND ${CMAKE_COMMAND} -E copy ${f} ${stage}/)
endforeach()
add_custom_target(package-zip
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage} ${CMAKE_BINARY_DIR}/${QUORVEX_PACKAGE_NAME}.zip
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
  ${copy_programs}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/package/README-ja.txt ${stage}/
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/LICENSE ${stage}/LICENSE
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/package
          ${CMAKE_COMMAND} -E tar cf ${CMAKE_BINARY_DIR}/${QUORVEX_PACKAGE_NAME}.zip --format=zip
          ${QUORVEX_PACKAGE_NAME}
  DEPENDS ${programs}
  COMMENT "Packing ${QUORVEX_PACKAGE_NAME}.zip"
  VERBATIM)
