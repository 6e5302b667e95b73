#pragma once

#include "wordproc/WPDocument.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QMainWindow;
class QTextDocumentFragment;
class WPRecovery;
class WPWindowController;

// The word processor's documents: which are open (oldest first), each with
// its one editor window, and the document commands of the File menu — New,
// Open, Open Recent, Close, Save, Save As, Revert to Saved, Page Setup,
// Print and Export as PDF — with their panels and prompts. The shell makes
// one controller before launch completes; it receives the commands through
// the responder chain and acts on the document of the window in front.
class WPDocumentController : public QObject {
    Q_OBJECT
public:
    // The settings key of the Open Recent list (most recent first).
    static inline const QString kRecentKey = QStringLiteral("wpRecentDocuments");
    static constexpr int kMaxRecent = 10;

    enum class SaveResult { saved, cancelled, failed };

    // The first controller made becomes the shared one.
    explicit WPDocumentController(QObject* parent = nullptr);
    ~WPDocumentController() override;
    static WPDocumentController* shared();

    // New untitled documents are DOCX.
    QString defaultType() const { return WPDocument::kDocxType; }

    // The shared controller's documents, oldest first.
    static QList<WPDocument*> wpDocuments();
    // Fronts the current document's window, else the last document's, else
    // opens a new untitled document.
    static void openOrFront();
    // Appends `text` as a paragraph of its own to the current document (a
    // new one when none is open) and fronts its window.
    static void send(const QTextDocumentFragment& text);

    QList<WPDocument*> documents() const { return m_documents; }
    // The document whose window is the active window, or null.
    WPDocument* currentDocument() const;
    WPWindowController* windowFor(const WPDocument* document) const;
    WPDocument* documentFor(const QWidget* window) const;

    // Called with every new editor window before it is shown (the shell
    // gives it the menu bar).
    void setWindowDecorator(std::function<void(QMainWindow*)> decorate) { m_decorate = std::move(decorate); }

    // A new untitled document ("Untitled", "Untitled 2", …) in its window.
    WPDocument* makeUntitledDocument();
    // Opens the file in a window, or fronts it when it is already open. A
    // file that cannot be read is reported; the result is then null. When
    // the only window holds an untouched Untitled document that the program
    // opened by itself (openOrFront), the file takes that window's place.
    WPDocument* openDocumentFile(const QString& path);

    SaveResult save(WPDocument* document);
    SaveResult saveAs(WPDocument* document);
    // Saves to `path` as `typeName`, asking first when pictures would be
    // lost; reports a failure. Save and Save As make `path` the document's
    // file; saveTo writes a copy.
    SaveResult saveTo(WPDocument* document, const QString& path, const QString& typeName,
                      WPDocument::SaveOperation operation);
    // Reads the saved file again into the same text, after asking.
    bool revert(WPDocument* document);
    // Closes the document's window, asking first when it has unsaved
    // changes; false when the user kept it open.
    bool close(WPDocument* document);
    // At quit: asks about every edited document, oldest first; false when
    // the user cancelled (nothing is closed then). On true every document
    // is closed.
    bool reviewUnsavedDocuments();

    // Crash recovery: the copies a crash left behind, each reopened in a
    // window marked as recovered; and at quit without a decision, a copy of
    // every edited document.
    int reopenRecoveredDocuments();
    void writeRecoveryCopies();

    // Existing files of the Open Recent list, most recent first.
    QStringList recentDocuments() const;
    void noteRecentDocument(const QString& path);

    // The name of the n-th untitled document (1: "Untitled").
    static QString untitledName(int n);
    // The title of a document's window, with "[*]" for the edited mark.
    static QString windowTitle(const QString& displayName);

    // Answers the responder chain: document commands need a document
    // window in front; Clear Menu needs a recent document.
    Q_INVOKABLE bool validateAction(const QString& name) const;

public Q_SLOTS:
    void newDocument();
    void openDocument();
    void openRecentDocument(QAction* sender);
    void clearRecentDocuments();
    void saveDocument();
    void saveDocumentAs();
    void revertDocumentToSaved();
    void runPageLayout();
    void printDocument();
    void exportPDF();

Q_SIGNALS:
    void documentsChanged();
    void recentDocumentsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WPDocument* chosenDocument() const;
    // The window of `inPlaceOf` (when given) is closed and the new one takes
    // its place.
    void addDocument(WPDocument* document, WPDocument* inPlaceOf = nullptr);
    // The only document, when it is one the program opened by itself and
    // nobody has touched; else null.
    WPDocument* replaceableDocument() const;
    void documentWindowGone(WPDocument* document);
    void updateTitle(WPDocument* document);
    bool confirmClose(WPDocument* document);
    void front(WPDocument* document) const;
    QWidget* parentWindow(WPDocument* document) const;
    void writeRecent(const QStringList& paths);

    QList<WPDocument*> m_documents;
    QHash<const WPDocument*, QPointer<WPWindowController>> m_windows;
    QSet<const WPDocument*> m_closingWithoutPrompt;
    QSet<const WPDocument*> m_openedByItself;
    std::function<void(QMainWindow*)> m_decorate;
    WPRecovery* m_recovery = nullptr;
};
