# Pictures: detection and decoders to pixel buffers, layouts (neutral); GDI
# images and drawing (Win32).
list(APPEND KAVREL_NEUTRAL_SOURCES
  src/pictures/picture.cc
  src/pictures/picture_bmp.cc
  src/pictures/picture_gif.cc
  src/pictures/picture_icon.cc
  src/pictures/picture_jpeg.cc
  src/pictures/picture_layout.cc
  src/pictures/picture_pcx.cc
  src/pictures/picture_png.cc)
list(APPEND KAVREL_WIN32_SOURCES
  src/pictures/picture_win32.cc
  src/pictures/stretched_picture_win32.cc)
