// The WindowProps blob reader.
#include "window/window_props.h"
#include "blob_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzBlob<kavrel::WindowProps>(data, size);
}
