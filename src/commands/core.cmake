list(APPEND KAVREL_NEUTRAL_SOURCES
  src/commands/values.cc
  src/commands/runtime_heap.cc
  src/commands/runtime_error.cc)
