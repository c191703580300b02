# The Windows packages, built from one folder of the programs, a short
# Japanese read-me and the licence:
#   package-zip  the portable zip;
#   package-msi  the installer (packaging/windows/build-msi.sh, with wixl).
# Programs join the packages with
#   set_property(GLOBAL APPEND PROPERTY QUORVEX_PACKAGE_PROGRAMS <target>)
# Include this file after every target is defined.
# Other files (the help) join them with
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

# The installer holds the zip's folder as it is, so both carry the same files.
find_program(QUORVEX_WIXL wixl)
find_program(QUORVEX_MSIBUILD msibuild)
set(QUORVEX_MSI ${CMAKE_BINARY_DIR}/QuorvexConverter-${PROJECT_VERSION}-x64.msi)
if(QUORVEX_WIXL AND QUORVEX_MSIBUILD)
  add_custom_target(package-msi
    COMMAND bash ${PROJECT_SOURCE_DIR}/packaging/windows/build-msi.sh ${stage} ${PROJECT_VERSION}
            ${QUORVEX_MSI}
    COMMENT "Building QuorvexConverter-${PROJECT_VERSION}-x64.msi"
    VERBATIM)
  add_dependencies(package-msi package-zip)
else()
  message(STATUS "wixl or msibuild not found (Debian packages wixl, msitools): no installer")
endif()
