# Value model, runtime heap, fatal report hook, text operations and ToText.
list(APPEND KAVREL_NEUTRAL_SOURCES
  src/commands/library_interface.cc
  src/commands/values.cc
  src/commands/runtime_heap.cc
  src/commands/runtime_error.cc
  src/commands/text_ops.cc
  src/commands/to_text.cc)
