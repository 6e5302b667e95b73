// Feeds arbitrary bytes to the notes recorder's reading of
// "recordings.json", as a damaged or hostile state file would reach it.
#include "FuzzRead.h"
#include "notes/VoiceNote.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzRead::readList<VoiceNote>(data, size);
    return 0;
}
