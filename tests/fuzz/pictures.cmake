list(APPEND KAVREL_FUZZ_TARGETS fuzz_picture fuzz_jpeg_rows)

# The program that wrote tests/fuzz/seeds/fuzz_picture (run by hand:
# `make_picture_seeds tests/fuzz/seeds/fuzz_picture`).
if(KAVREL_TARGET STREQUAL "host")
  add_executable(make_picture_seeds EXCLUDE_FROM_ALL
    ${CMAKE_CURRENT_LIST_DIR}/make_picture_seeds.cc
    ${CMAKE_CURRENT_LIST_DIR}/../host/picture_samples.cc)
  target_link_libraries(make_picture_seeds PRIVATE kavrel_neutral)
endif()
