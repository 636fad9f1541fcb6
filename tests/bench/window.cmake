# Start-up to the window shown, the runtime against a bare Win32 program;
# run under Wine: scripts/wine-run.sh window_startup_bench_win32.exe
list(APPEND KAVREL_WIN_BENCH_SOURCES tests/bench/window_startup_bench_win32.cc)
