# The small Win32 application framework: application object, message pump,
# window objects attached to window handles, the conversion of the program's
# texts at the platform's edge, the display scale; and the archive reader over a memory block,
# which is neutral.
list(APPEND KAVREL_NEUTRAL_SOURCES
  src/framework/memory_archive.cc)
list(APPEND KAVREL_WIN32_SOURCES
  src/framework/application_win32.cc
  src/framework/display_scale_win32.cc
  src/framework/program_text_win32.cc
  src/framework/window_win32.cc)
