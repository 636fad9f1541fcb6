# The template block generator: writes the TemplateStore, the art and the
# fuzz seeds into ${KAVREL_GENERATED_DIR}. It builds from its own list of
# sources, so nothing it writes depends on the neutral library.
add_executable(kavrel_template_gen
  ${CMAKE_SOURCE_DIR}/tools/template_gen.cc
  ${CMAKE_SOURCE_DIR}/tools/art/background.cc
  ${CMAKE_SOURCE_DIR}/tools/art/icon.cc
  ${CMAKE_SOURCE_DIR}/src/commands/runtime_error.cc
  ${CMAKE_SOURCE_DIR}/src/framework/memory_archive.cc
  ${CMAKE_SOURCE_DIR}/src/program/main_window_design.cc
  ${CMAKE_SOURCE_DIR}/src/base/byte_reader.cc
  ${CMAKE_SOURCE_DIR}/src/base/byte_writer.cc
  ${CMAKE_SOURCE_DIR}/src/templates/font_description.cc
  ${CMAKE_SOURCE_DIR}/src/templates/template_store.cc
  ${CMAKE_SOURCE_DIR}/src/templates/template_writer.cc
  ${CMAKE_SOURCE_DIR}/src/templates/unit_table.cc
  ${CMAKE_SOURCE_DIR}/src/templates/unit_template.cc
  ${CMAKE_SOURCE_DIR}/src/templates/window_template.cc
  ${CMAKE_SOURCE_DIR}/src/units/button_props.cc
  ${CMAKE_SOURCE_DIR}/src/units/combo_box_props.cc
  ${CMAKE_SOURCE_DIR}/src/units/group_box_props.cc
  ${CMAKE_SOURCE_DIR}/src/units/label_props.cc
  ${CMAKE_SOURCE_DIR}/src/units/shape_box_props.cc
  ${CMAKE_SOURCE_DIR}/src/window/window_props.cc)
target_include_directories(kavrel_template_gen PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tools)
target_compile_options(kavrel_template_gen PRIVATE ${KAVREL_WARNINGS})
target_link_libraries(kavrel_template_gen PRIVATE JPEG::JPEG)

set(KAVREL_GENERATED_OUTPUTS
  ${KAVREL_GENERATED_DIR}/template_store.bin
  ${KAVREL_GENERATED_DIR}/background.jpg
  ${KAVREL_GENERATED_DIR}/kavrel.ico)
add_custom_command(OUTPUT ${KAVREL_GENERATED_OUTPUTS}
  COMMAND kavrel_template_gen ${KAVREL_GENERATED_DIR}
  DEPENDS kavrel_template_gen
  COMMENT "Writing the template block and its art"
  VERBATIM)
add_custom_target(kavrel_generated DEPENDS ${KAVREL_GENERATED_OUTPUTS})
