# The template block: reader, tables and lookups, writer.
list(APPEND KAVREL_NEUTRAL_SOURCES
  src/templates/font_description.cc
  src/templates/unit_template.cc
  src/templates/unit_table.cc
  src/templates/window_template.cc
  src/templates/template_store.cc
  src/templates/template_writer.cc)
