# The interface's translations. Chinese is the source language of every text;
# resources/translations/quillow_<lang>.ts holds a translation, which lrelease
# makes into a .qm at build time: in translations/ beside the built programs
# (runs from the build tree) and installed under share/quillow/translations.
#
# `cmake --build build --target update_translations` brings the .ts files up
# to date with the sources (new texts come in unfinished); the test
# translations_complete fails while any text lacks its translation.
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)

set(QUILLOW_TS_FILES ${PROJECT_SOURCE_DIR}/resources/translations/quillow_en.ts)
set(QUILLOW_QM_DIR ${PROJECT_BINARY_DIR}/translations)
# lupdate reads every folder with texts, from the source folder (includes are
# relative to it); the test translations_complete runs it the same way.
set(QUILLOW_LUPDATE_ARGS -silent -no-obsolete -locations none -source-language zh_CN -I . engine app cli gui)

set_source_files_properties(${QUILLOW_TS_FILES} PROPERTIES OUTPUT_LOCATION ${QUILLOW_QM_DIR})
add_custom_target(quillow_translations ALL)
qt6_add_lrelease(quillow_translations NO_GLOBAL_TARGET TS_FILES ${QUILLOW_TS_FILES}
  QM_FILES_OUTPUT_VARIABLE QUILLOW_QM_FILES OPTIONS -silent)
install(FILES ${QUILLOW_QM_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/quillow/translations)

add_custom_target(update_translations
  COMMAND Qt6::lupdate ${QUILLOW_LUPDATE_ARGS} -ts ${QUILLOW_TS_FILES}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  VERBATIM)
