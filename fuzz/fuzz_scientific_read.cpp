// Arbitrary bytes as the saved record of :Saved:the scientific calculator's history, memory and answer.
#include "FuzzRead.h"
#include "calc/ScientificModel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzRead::readRecord<ScientificModel::Saved>(data, size);
    return 0;
}
