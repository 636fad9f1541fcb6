// The ButtonProps blob reader.
#include "units/button_props.h"
#include "blob_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzBlob<kavrel::ButtonProps>(data, size);
}
