#pragma once

#include <QString>
#include <QStringList>

// The three ways the program runs, chosen once from the command line.
struct RunMode {
    enum Kind { windowed, selfTest, snapshots };
    Kind kind = windowed;
    QString snapshotFolder; // the argument after "--snapshots", as given

    // Exact, case-sensitive matches of whole arguments; element 0 (the
    // program path) takes part like the others. "--selftest" wins anywhere;
    // else the first "--snapshots" followed by an argument.
    static RunMode choose(const QStringList& arguments);

    // A fresh throw-away data folder path under the temporary directory:
    // prefix + 36-character upper-case UUID.
    static QString throwAwayFolder(Kind kind);
};
