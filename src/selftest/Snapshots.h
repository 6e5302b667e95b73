#pragma once

#include <QString>
#include <functional>

// Sample data the snapshot mode writes into its throw-away data folder
// before it opens any window. Writers register from static objects:
//
//     static Snapshots::Sample s("scientific", [] { Store::save(..., "scientific.json"); });
namespace Snapshots {

class Sample {
public:
    Sample(const char* name, std::function<void()> write);
};

// Runs every registered writer, in name order.
void writeSamples();

} // namespace Snapshots
