#include "fuzz/SavePassCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    korvane::CheckSavePass(data, size);
    return 0;
}
