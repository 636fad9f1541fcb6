// The LabelProps blob reader.
#include "units/label_props.h"
#include "blob_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzBlob<kavrel::LabelProps>(data, size);
}
