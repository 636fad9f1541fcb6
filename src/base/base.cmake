# Small neutral helpers every module may use: the one bounds-checked byte
# reader and its writer, the lead and trail bytes of a code page, and lengths
# between the design's 96 dpi and the display's.
list(APPEND KAVREL_NEUTRAL_SOURCES
  src/base/byte_reader.cc
  src/base/byte_writer.cc
  src/base/code_page.cc
  src/base/display_scale.cc
  src/base/startup_profile.cc)
list(APPEND KAVREL_WIN32_SOURCES
  src/base/startup_profile_win32.cc)
