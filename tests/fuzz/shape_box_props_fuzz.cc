// The ShapeBoxProps blob reader.
#include "units/shape_box_props.h"
#include "blob_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzBlob<kavrel::ShapeBoxProps>(data, size);
}
