#include "app/views/ShellServices.h"

#include "app/views/MainMenu.h"
#include "notes/StickyStore.h"
#include "notes/views/StickyWindows.h"
#include "notes/RecorderModel.h"
#include "passwords/PasswordBookModel.h"
#include "wordproc/WPDocument.h"
#include "wordproc/WPDocumentSample.h"
#include "wordproc/WPRecovery.h"
#include "wordproc/views/PageTextView.h"
#include "wordproc/views/WPDocumentController.h"
#include "wordproc/views/WPWindowController.h"

#include <QMainWindow>
#include <QTextCursor>
#include <QTextDocument>
#include <QMenuBar>

namespace {

// The word processor's document controller, made on first need (the
// delegate makes it before launch; the snapshot mode when it gets there).
WPDocumentController* documentController()
{
    if (WPDocumentController* c = WPDocumentController::shared())
        return c;
    // Lives as long as the program, like the shell's other shared objects.
    return new WPDocumentController;
}

} // namespace

ShellServices& ShellServices::shared()
{
    static ShellServices s;
    return s;
}

void installShellServices()
{
    ShellServices& s = ShellServices::shared();
    s.makeDocumentController = [] { return static_cast<QObject*>(documentController()); };
    s.openOrFrontWordDocument = [] {
        documentController();
        WPDocumentController::openOrFront();
    };
    s.newWordDocument = [] { documentController()->makeUntitledDocument(); };
    s.openWordDocumentFile = [](const QString& path) { documentController()->openDocumentFile(path); };
    s.recentWordDocuments = [] { return documentController()->recentDocuments(); };
    s.reviewUnsavedDocuments = [] {
        WPDocumentController* c = WPDocumentController::shared();
        return !c || c->reviewUnsavedDocuments();
    };
    s.reopenRecoveredDocuments = [] {
        if (!WPRecovery::leftBehind().isEmpty())
            documentController()->reopenRecoveredDocuments();
    };
    s.writeRecoveryCopies = [] {
        if (WPDocumentController* c = WPDocumentController::shared())
            c->writeRecoveryCopies();
    };
    s.openSampleWordDocument = []() -> QWidget* {
        WPDocumentController* c = documentController();
        WPDocument* d = c->makeUntitledDocument();
        WPDocumentSample::fill(*d);
        WPWindowController* w = c->windowFor(d);
        if (w) {
            // Shown from the top, with its counts, as a user opening it would see it.
            QTextCursor start(d->storage());
            w->textView()->setTextCursor(start);
            w->textView()->ensureCursorVisible();
            w->updateCounts();
        }
        return w;
    };
    s.restoreStickyWindows = [] {
        StickyWindows::shared();
        StickyStore::shared().restoreWindows();
    };
    s.saveStickyNotes = [] { StickyStore::shared().saveIfChanged(); };
    s.installAutoLockObservers = [] { PasswordBookModel::shared().installAutoLockObservers(); };
    s.lockPasswordBook = [] { PasswordBookModel::shared().lock(); };
    // Editor windows get the shared menu bar like every tool window.
    WPWindowController::setDecorator([](QMainWindow* w) { w->setMenuBar(MainMenu::shared().build(w)); });
    s.finishRecordings = [] { RecorderModel::finishAll(); };
}
