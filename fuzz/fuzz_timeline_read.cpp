// Feeds arbitrary bytes to the study timeline's reading of "timeline.json",
// as a damaged or hostile state file would reach it.
#include "FuzzRead.h"
#include "planner/StudyGoal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzRead::readList<StudyGoal>(data, size);
    return 0;
}
