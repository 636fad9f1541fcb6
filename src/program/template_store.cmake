# The main window's design, the program descriptor and the embedded block.
list(APPEND KAVREL_NEUTRAL_SOURCES
  src/program/main_window_design.cc
  src/program/program_descriptor.cc
  src/program/template_store_data.cc)

set(KAVREL_TEMPLATE_STORE_FILE ${KAVREL_GENERATED_DIR}/template_store.bin)
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/program/template_store_data.cc PROPERTIES
  COMPILE_DEFINITIONS "KAVREL_TEMPLATE_STORE_FILE=\"${KAVREL_TEMPLATE_STORE_FILE}\""
  OBJECT_DEPENDS ${KAVREL_TEMPLATE_STORE_FILE})
