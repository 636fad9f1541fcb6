# The template block reader and every property blob reader. Their seeds are
# the real block and blobs, written by the generator into
# ${KAVREL_GENERATED_DIR}/seeds, and a few small files committed here.
list(APPEND KAVREL_FUZZ_TARGETS
  template_store_fuzz
  window_props_fuzz
  label_props_fuzz
  shape_box_props_fuzz
  group_box_props_fuzz
  button_props_fuzz
  combo_box_props_fuzz)
