# Library commands and the heap backend that need Win32.
list(APPEND KAVREL_WIN32_SOURCES
  src/commands/heap_win32.cc
  src/commands/message_box_win32.cc
  src/commands/run_command_win32.cc)
