list(APPEND KAVREL_BENCH_SOURCES tests/bench/text_ops_bench.cc)
