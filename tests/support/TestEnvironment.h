#pragma once

#include <QString>

// Every test executable links this. Before main() runs it gives the process
// a private temporary home, data folder and settings file, turns on Qt's
// test paths and selects the offscreen platform; the folder is removed at
// exit.
namespace TestEnvironment {

// The private data folder (VEXO_BW_DATA_DIR) of this test process.
QString dataFolder();
// Removes every file from the data folder (between test cases).
void clearDataFolder();

} // namespace TestEnvironment
