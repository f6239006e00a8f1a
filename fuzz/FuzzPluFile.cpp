// Feeds arbitrary bytes to the PLU file reader.
#include "TableFileFuzz.h"
#include "tables/Records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzTableFile<PluRecord>(data, size);
}
