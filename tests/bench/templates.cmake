list(APPEND KAVREL_BENCH_SOURCES tests/bench/template_load_bench.cc)
