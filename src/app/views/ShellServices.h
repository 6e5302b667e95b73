#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QObject;
class QWidget;

// The calls the shell makes into the word processor, the sticky notes and
// the password book. installShellServices() fills them with whatever this
// build contains; an empty entry is skipped, and where a user action depends
// on it the shell does the nearest thing it can on its own (see the callers).
struct ShellServices {
    // Word processor. Called once before launch completes; the returned
    // object joins the end of the responder chain and so receives the File
    // menu's document commands (newDocument, openDocument,
    // clearRecentDocuments).
    std::function<QObject*()> makeDocumentController;
    // Fronts the current word-processing document, else the last open one,
    // else opens a new untitled document.
    std::function<void()> openOrFrontWordDocument;
    // Opens a new untitled word-processing document.
    std::function<void()> newWordDocument;
    // Opens a word-processing file (or fronts it when it is open already).
    std::function<void(const QString&)> openWordDocumentFile;
    // The Open Recent list, most recent first.
    std::function<QStringList()> recentWordDocuments;
    // At quit: asks about every unsaved document; false keeps the program
    // running.
    std::function<bool()> reviewUnsavedDocuments;
    // Crash recovery: reopens the documents a crash left unsaved (at
    // launch), and writes a copy of every unsaved document (at quit without
    // a decision about them).
    std::function<void()> reopenRecoveredDocuments;
    std::function<void()> writeRecoveryCopies;
    // The snapshot mode's word-processor window: a document of sample text.
    std::function<QWidget*()> openSampleWordDocument;

    // Sticky notes: shows the window of every note marked visible (once, at
    // launch), and writes the notes at once (at quit).
    std::function<void()> restoreStickyWindows;
    std::function<void()> saveStickyNotes;

    // Password book: starts watching sleep, screen lock and idle time (once,
    // at launch), and drops the key and the open entries (at quit).
    std::function<void()> installAutoLockObservers;
    std::function<void()> lockPasswordBook;

    // Notes recorder: a recording still running is stopped and saved, and
    // transcriptions are cancelled (at quit).
    std::function<void()> finishRecordings;

    static ShellServices& shared();
};

// Fills ShellServices::shared() from the subsystems of this build. Called by
// Shell::launch() before anything else of the windowed mode.
void installShellServices();
