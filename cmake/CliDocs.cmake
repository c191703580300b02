# Every description of quorvex-convert's options comes from the one table in
# src/cli/options.txt: the parser's table and --help (options_table.h), the
# manual pages, the bash completion and the window help's command-line page,
# all written at build time into QUORVEX_GENERATED_DIR by a script that runs
# on the build machine, for the cross build too.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(QUORVEX_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
set(QUORVEX_HELP_DIR ${QUORVEX_GENERATED_DIR}/help)
set(QUORVEX_CLI_DOCS
  ${QUORVEX_GENERATED_DIR}/options_table.h
  ${QUORVEX_GENERATED_DIR}/man/quorvex-convert.1
  ${QUORVEX_GENERATED_DIR}/man/ja/quorvex-convert.1
  ${QUORVEX_GENERATED_DIR}/quorvex-convert.bash
  ${QUORVEX_HELP_DIR}/quorvex.html
  ${QUORVEX_HELP_DIR}/quorvex-index.txt)
set(linux ${PROJECT_SOURCE_DIR}/packaging/linux)
add_custom_command(OUTPUT ${QUORVEX_CLI_DOCS}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/gen_cli_options.py
          --table ${PROJECT_SOURCE_DIR}/src/cli/options.txt --version ${PROJECT_VERSION}
          --man-template-en ${linux}/quorvex-convert.1.in
          --man-template-ja ${linux}/ja/quorvex-convert.1.in
          --help-source ${PROJECT_SOURCE_DIR}/docs/help --out ${QUORVEX_GENERATED_DIR}
  DEPENDS ${PROJECT_SOURCE_DIR}/scripts/gen_cli_options.py ${PROJECT_SOURCE_DIR}/src/cli/options.txt
          ${linux}/quorvex-convert.1.in ${linux}/ja/quorvex-convert.1.in
          ${PROJECT_SOURCE_DIR}/docs/help/quorvex.html ${PROJECT_SOURCE_DIR}/docs/help/quorvex-index.txt
  COMMENT "Writing the option table, manual pages, completion and help page"
  VERBATIM)
add_custom_target(quorvex_cli_docs ALL DEPENDS ${QUORVEX_CLI_DOCS})
unset(linux)
