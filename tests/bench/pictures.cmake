list(APPEND KAVREL_BENCH_SOURCES tests/bench/bench_picture.cc)
list(APPEND KAVREL_WIN_BENCH_SOURCES tests/bench/bench_picture_draw_win32.cc)
