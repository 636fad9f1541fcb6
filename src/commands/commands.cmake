# Value model, runtime heap, fatal report hook, text operations, ToText, and
# the byte reader and writer that every binary format goes through.
list(APPEND KAVREL_NEUTRAL_SOURCES
  src/commands/values.cc
  src/commands/runtime_heap.cc
  src/commands/runtime_error.cc
  src/commands/text_ops.cc
  src/commands/to_text.cc
  src/templates/byte_reader.cc
  src/templates/byte_writer.cc)
