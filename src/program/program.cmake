# The program's main routine, its four actions, constant texts and handlers.
list(APPEND KAVREL_NEUTRAL_SOURCES
  src/program/constant_block.cc
  src/program/input_check.cc
  src/program/program.cc
  src/program/program_handlers.cc)
