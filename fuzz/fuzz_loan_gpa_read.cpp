// Arbitrary bytes as the saved record of :Saved:the loan and GPA tool's inputs and courses.
#include "FuzzRead.h"
#include "calc/LoanGPAModel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzRead::readRecord<LoanGPAModel::Saved>(data, size);
    return 0;
}
