// Arbitrary bytes as the saved record of :Saved:the citation tool's style and sources.
#include "FuzzRead.h"
#include "citations/CitationModel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzRead::readRecord<CitationModel::Saved>(data, size);
    return 0;
}
