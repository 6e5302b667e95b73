// Feeds arbitrary bytes to the focus timer's reading of "focus.json", as a
// damaged or hostile state file would reach it.
#include "FuzzRead.h"
#include "planner/FocusModel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzRead::readRecord<FocusModel::Saved>(data, size);
    return 0;
}
