// Arbitrary bytes as the saved record of the card games' statistics.
#include "FuzzRead.h"
#include "games/GameStats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzRead::readRecord<GameStats>(data, size);
    return 0;
}
