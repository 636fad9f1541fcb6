list(APPEND KAVREL_NEUTRAL_SOURCES
  src/templates/byte_reader.cc
  src/templates/byte_writer.cc)
