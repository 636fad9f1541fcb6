list(APPEND KAVREL_NEUTRAL_SOURCES
  src/window/picture.cc
  src/window/picture_bmp.cc
  src/window/picture_gif.cc
  src/window/picture_icon.cc
  src/window/picture_jpeg.cc
  src/window/picture_layout.cc
  src/window/picture_pcx.cc
  src/window/picture_png.cc)
list(APPEND KAVREL_WIN32_SOURCES
  src/window/picture_win32.cc)
