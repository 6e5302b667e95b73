#pragma once

#include <QByteArray>
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

// The bytes of the file at `path`; empty when it cannot be read.
QByteArray contents(const QString& path);
// Replaces the state file `name` of the data folder with `data` as it
// stands (for damaged and hand-made files); false when it cannot be written.
bool writeState(const QString& name, const QByteArray& data);
// The bytes of the state file `name` of the data folder.
QByteArray readState(const QString& name);

// While it lives, no file this process writes may grow beyond `bytes`: a
// write past that fails the way it does on a full disk.
class FullDisk {
public:
    explicit FullDisk(unsigned long bytes);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    unsigned long m_previous = 0;
};

} // namespace TestEnvironment
