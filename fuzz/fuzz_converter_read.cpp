// Arbitrary bytes as the saved record of :Saved:the converter's choices and world clocks.
#include "FuzzRead.h"
#include "calc/ConverterModel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzRead::readRecord<ConverterModel::Saved>(data, size);
    return 0;
}
