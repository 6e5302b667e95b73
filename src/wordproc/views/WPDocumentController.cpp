#include "wordproc/views/WPDocumentController.h"

#include "core/SettingsStore.h"
#include "ui/Alert.h"
#include "wordproc/WPFormat.h"
#include "wordproc/WPPaths.h"
#include "wordproc/WPRecovery.h"
#include "wordproc/views/WPOpenSavePanels.h"
#include "wordproc/views/WPPrintPanels.h"
#include "wordproc/views/WPRecoveryBar.h"
#include "wordproc/views/WPWindowController.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace {

QPointer<WPDocumentController>& sharedController()
{
    static QPointer<WPDocumentController> c;
    return c;
}

// The type a file is read as: what its content says, else its extension.
// A text file (.txt, .md, .csv, …) whose content is text stays text, so
// that markup written in it (HTML, RTF) is shown, and saved back, as the
// characters it is; only a binary package named so is read as what it is.
QString typeNameForFile(const QString& path)
{
    using DT = WPFormat::DocType;
    if (QFileInfo(path).isDir())
        return WPDocument::kRtfdType;
    const std::optional<DT> detected = WPFormat::detect(path);
    const auto byName = WPOpenSavePanels::typeForPath(path);
    if (byName && byName->type == DT::PlainText
        && (!detected || *detected == DT::PlainText || *detected == DT::Html || *detected == DT::Rtf
            || *detected == DT::WordML))
        return byName->typeName();
    if (detected)
        return WPFormat::typeName(*detected);
    if (const auto t = WPOpenSavePanels::typeForPath(path))
        return t->typeName();
    return QString();
}

QString samePath(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

const QStringList& documentCommands()
{
    static const QStringList names{
        QStringLiteral("saveDocument"),  QStringLiteral("saveDocumentAs"), QStringLiteral("revertDocumentToSaved"),
        QStringLiteral("runPageLayout"), QStringLiteral("printDocument"),  QStringLiteral("exportPDF"),
    };
    return names;
}

} // namespace

WPDocumentController::WPDocumentController(QObject* parent)
    : QObject(parent), m_recovery(new WPRecovery(this))
{
    if (!sharedController())
        sharedController() = this;
    // Packages of recent documents that a crash during a save left aside
    // go back in place, and leftovers of such saves go.
    for (const QVariant& v : SettingsStore::settings().value(kRecentKey).toList()) {
        if (v.typeId() == QMetaType::QString && v.toString().endsWith(QLatin1String(".rtfd"), Qt::CaseInsensitive))
            WPFormat::recoverRtfd(v.toString());
    }
}

WPDocumentController::~WPDocumentController()
{
    for (const QPointer<WPWindowController>& w : std::as_const(m_windows)) {
        if (w) {
            w->removeEventFilter(this);
            delete w.data();
        }
    }
}

WPDocumentController* WPDocumentController::shared()
{
    return sharedController();
}

QList<WPDocument*> WPDocumentController::wpDocuments()
{
    return shared() ? shared()->documents() : QList<WPDocument*>();
}

QString WPDocumentController::untitledName(int n)
{
    return n <= 1 ? QStringLiteral("Untitled") : QStringLiteral("Untitled %1").arg(n);
}

QString WPDocumentController::windowTitle(const QString& displayName)
{
    return displayName + QStringLiteral("[*] — Word Processor · Brindleworks by VEXO");
}

// ---- documents and windows

WPDocument* WPDocumentController::currentDocument() const
{
    return documentFor(QApplication::activeWindow());
}

WPWindowController* WPDocumentController::windowFor(const WPDocument* document) const
{
    return m_windows.value(document);
}

WPDocument* WPDocumentController::documentFor(const QWidget* window) const
{
    if (!window)
        return nullptr;
    window = window->window();
    for (WPDocument* d : m_documents) {
        if (m_windows.value(d) == window)
            return d;
    }
    return nullptr;
}

WPDocument* WPDocumentController::chosenDocument() const
{
    if (WPDocument* d = currentDocument())
        return d;
    return m_documents.isEmpty() ? nullptr : m_documents.constLast();
}

void WPDocumentController::addDocument(WPDocument* document, WPDocument* inPlaceOf)
{
    document->setParent(this);
    m_documents.append(document);
    auto* window = new WPWindowController(document);
    WPWindowController* replaced = inPlaceOf ? windowFor(inPlaceOf) : nullptr;
    if (replaced)
        window->setGeometry(replaced->geometry());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->installEventFilter(this);
    m_windows.insert(document, window);
    m_recovery->watch(document);
    connect(window, &QObject::destroyed, this, [this, document] { documentWindowGone(document); });
    connect(document, &WPDocument::filePathChanged, this, [this, document] { updateTitle(document); });
    connect(document, &WPDocument::editedChanged, this, [this, document] { updateTitle(document); });
    updateTitle(document);
    if (m_decorate)
        m_decorate(window);
    front(document);
    if (inPlaceOf) {
        m_closingWithoutPrompt.insert(inPlaceOf);
        if (replaced)
            replaced->close();
        documentWindowGone(inPlaceOf);
    }
    Q_EMIT documentsChanged();
}

WPDocument* WPDocumentController::replaceableDocument() const
{
    if (m_documents.size() != 1)
        return nullptr;
    WPDocument* d = m_documents.constFirst();
    const bool untouched = d->filePath().isEmpty() && !d->isEdited() && d->storage()->isEmpty()
        && !d->storage()->isUndoAvailable() && !d->storage()->isRedoAvailable();
    return m_openedByItself.contains(d) && untouched ? d : nullptr;
}

void WPDocumentController::documentWindowGone(WPDocument* document)
{
    if (!m_documents.removeAll(document))
        return;
    m_windows.remove(document);
    m_recovery->forget(document);
    m_closingWithoutPrompt.remove(document);
    m_openedByItself.remove(document);
    document->deleteLater();
    Q_EMIT documentsChanged();
}

void WPDocumentController::updateTitle(WPDocument* document)
{
    if (WPWindowController* w = windowFor(document)) {
        w->setWindowTitle(windowTitle(document->displayName()));
        w->setWindowModified(document->isEdited());
    }
}

void WPDocumentController::front(WPDocument* document) const
{
    WPWindowController* w = windowFor(document);
    if (!w)
        return;
    if (w->isMinimized())
        w->showNormal();
    w->show();
    w->raise();
    w->activateWindow();
}

QWidget* WPDocumentController::parentWindow(WPDocument* document) const
{
    return windowFor(document);
}

WPDocument* WPDocumentController::makeUntitledDocument()
{
    QSet<QString> used;
    for (const WPDocument* d : std::as_const(m_documents)) {
        if (d->filePath().isEmpty())
            used.insert(d->untitledName());
    }
    int n = 1;
    while (used.contains(untitledName(n)))
        ++n;
    auto* document = new WPDocument(this);
    document->setUntitledName(untitledName(n));
    document->setFileType(defaultType());
    addDocument(document);
    return document;
}

WPDocument* WPDocumentController::openDocumentFile(const QString& chosen)
{
    const QString path = WPOpenSavePanels::documentPathFor(chosen);
    const QString key = samePath(path);
    for (WPDocument* d : std::as_const(m_documents)) {
        if (!d->filePath().isEmpty() && samePath(d->filePath()) == key) {
            front(d);
            return d;
        }
    }
    const QString typeName = typeNameForFile(path);
    auto* document = new WPDocument(this);
    QString error;
    if (!document->read(path, typeName, &error)) {
        delete document;
        runAlert(QStringLiteral("The document “%1” could not be opened.").arg(QFileInfo(path).fileName()), error,
                 AlertStyle::Critical, {QStringLiteral("OK")});
        return nullptr;
    }
    document->setFilePath(QFileInfo(path).absoluteFilePath());
    document->setFileType(typeName.isEmpty() ? defaultType() : typeName);
    noteRecentDocument(document->filePath());
    addDocument(document, replaceableDocument());
    return document;
}

// ---- saving

WPDocumentController::SaveResult WPDocumentController::save(WPDocument* document)
{
    if (!document)
        return SaveResult::cancelled;
    if (document->filePath().isEmpty())
        return saveAs(document);
    return saveTo(document, document->filePath(), document->fileType(), WPDocument::SaveOperation::save);
}

WPDocumentController::SaveResult WPDocumentController::saveAs(WPDocument* document)
{
    if (!document)
        return SaveResult::cancelled;
    QString typeName = document->fileType();
    bool offered = false;
    for (const WPOpenSavePanels::FileType& t : WPOpenSavePanels::saveable())
        offered = offered || t.typeName() == typeName;
    if (!offered)
        typeName = defaultType();
    QString proposed = document->displayName();
    if (!document->filePath().isEmpty())
        proposed = QFileInfo(document->filePath()).completeBaseName();
    const auto choice = WPOpenSavePanels::chooseSaveLocation(parentWindow(document), proposed, typeName);
    if (!choice)
        return SaveResult::cancelled;
    return saveTo(document, choice->path, choice->typeName, WPDocument::SaveOperation::saveAs);
}

WPDocumentController::SaveResult WPDocumentController::saveTo(WPDocument* document, const QString& path,
                                                              const QString& typeName,
                                                              WPDocument::SaveOperation operation)
{
    if (!document)
        return SaveResult::cancelled;
    if (document->shouldWarnAboutPictures(typeName, operation)) {
        // Asked once per open document: whatever the answer, the next save
        // goes ahead without the question.
        document->setWarnedAboutImages();
        const int answer = runAlert(WPDocument::pictureWarningTitle(), WPDocument::pictureWarningText(path),
                                    AlertStyle::Warning, {QStringLiteral("Save Anyway"), QStringLiteral("Cancel")});
        if (answer != alertFirstButton)
            return SaveResult::cancelled;
    }
    QString error = WPPaths::writeProblem(path);
    if (!error.isEmpty() || !document->writeTo(path, typeName, &error)) {
        runAlert(QStringLiteral("The document could not be saved: %1").arg(error), QString(), AlertStyle::Critical,
                 {QStringLiteral("OK")});
        return SaveResult::failed;
    }
    if (operation != WPDocument::SaveOperation::saveTo && operation != WPDocument::SaveOperation::autosaveElsewhere) {
        document->setFilePath(QFileInfo(path).absoluteFilePath());
        document->setFileType(typeName);
        document->setEdited(false);
        noteRecentDocument(document->filePath());
    }
    return SaveResult::saved;
}

bool WPDocumentController::revert(WPDocument* document)
{
    if (!document || document->filePath().isEmpty())
        return false;
    const QString name = document->displayName();
    if (runAlert(QStringLiteral("Do you want to revert to the most recently saved version of the document “%1”?")
                     .arg(name),
                 QStringLiteral("Your current changes will be lost."), AlertStyle::Warning,
                 {QStringLiteral("Revert"), QStringLiteral("Cancel")})
        != alertFirstButton)
        return false;
    // Read into a scratch document first, so a file that no longer reads
    // leaves the text as it is. The saved file decides header, footer and
    // page setup too: what it does not hold goes back to the defaults.
    QString error;
    WPDocument probe;
    bool read = probe.read(document->filePath(), document->fileType(), &error);
    if (read) {
        document->clearForReading();
        read = document->read(document->filePath(), document->fileType(), &error);
    }
    if (!read) {
        runAlert(QStringLiteral("The document “%1” could not be reverted.").arg(name), error, AlertStyle::Critical,
                 {QStringLiteral("OK")});
        return false;
    }
    return true;
}

// ---- closing

bool WPDocumentController::confirmClose(WPDocument* document)
{
    if (!document->isEdited())
        return true;
    const int answer
        = runAlert(QStringLiteral("Do you want to save the changes made to the document “%1”?")
                       .arg(document->displayName()),
                   QStringLiteral("Your changes will be lost if you don’t save them."), AlertStyle::Warning,
                   {QStringLiteral("Save"), QStringLiteral("Don’t Save"), QStringLiteral("Cancel")});
    if (answer == alertFirstButton)
        return save(document) == SaveResult::saved;
    return answer == alertFirstButton + 1;
}

bool WPDocumentController::close(WPDocument* document)
{
    if (!document || !m_documents.contains(document))
        return false;
    if (WPWindowController* w = windowFor(document)) {
        // The window asks (eventFilter) and goes with its document.
        if (!w->close())
            return false;
    } else if (!confirmClose(document)) {
        return false;
    }
    documentWindowGone(document);
    return true;
}

bool WPDocumentController::reviewUnsavedDocuments()
{
    const QList<WPDocument*> all = m_documents;
    for (WPDocument* d : all) {
        if (!d->isEdited())
            continue;
        front(d);
        if (!confirmClose(d))
            return false;
    }
    for (WPDocument* d : all) {
        m_closingWithoutPrompt.insert(d);
        if (WPWindowController* w = windowFor(d))
            w->close();
        documentWindowGone(d);
    }
    return true;
}

bool WPDocumentController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show) {
        // A window that stayed open after all asks again next time.
        if (WPDocument* document = documentFor(qobject_cast<QWidget*>(watched)))
            m_closingWithoutPrompt.remove(document);
    } else if (event->type() == QEvent::Close) {
        WPDocument* document = documentFor(qobject_cast<QWidget*>(watched));
        if (document && !m_closingWithoutPrompt.contains(document)) {
            if (!confirmClose(document)) {
                event->ignore();
                return true;
            }
            m_closingWithoutPrompt.insert(document);
        }
    }
    return QObject::eventFilter(watched, event);
}

// ---- crash recovery

int WPDocumentController::reopenRecoveredDocuments()
{
    int reopened = 0;
    for (const WPRecovery::Copy& copy : WPRecovery::leftBehind()) {
        auto* document = new WPDocument(this);
        QString error;
        if (!WPRecovery::restore(copy, document, &error)) {
            delete document;
            WPRecovery::setAside(WPRecovery::pathFor(copy.id));
            continue;
        }
        document->setUntitledName(WPRecoveryBar::recoveredName(copy.name));
        document->setFileType(copy.fileType.isEmpty() || copy.fileType == WPDocument::kRtfdType ? defaultType()
                                                                                                : copy.fileType);
        document->setEdited(true);
        m_recovery->watch(document, copy.id, &copy);
        addDocument(document);
        auto* bar = new WPRecoveryBar(copy, windowFor(document));
        connect(bar, &WPRecoveryBar::saveRequested, this, [this, document] { saveAs(document); });
        connect(bar, &WPRecoveryBar::discardRequested, this, [this, document] {
            document->setEdited(false);
            close(document);
        });
        connect(document, &WPDocument::filePathChanged, bar, &QObject::deleteLater);
        ++reopened;
    }
    return reopened;
}

void WPDocumentController::writeRecoveryCopies()
{
    m_recovery->writeAll();
}

// ---- recent documents

QStringList WPDocumentController::recentDocuments() const
{
    const QVariant stored = SettingsStore::settings().value(kRecentKey);
    QStringList paths;
    for (const QVariant& v : stored.toList()) {
        if (v.typeId() == QMetaType::QString && QFileInfo::exists(v.toString()))
            paths.append(v.toString());
    }
    return paths;
}

void WPDocumentController::noteRecentDocument(const QString& path)
{
    QStringList paths = recentDocuments();
    paths.removeAll(path);
    paths.prepend(path);
    while (paths.size() > kMaxRecent)
        paths.removeLast();
    writeRecent(paths);
}

void WPDocumentController::writeRecent(const QStringList& paths)
{
    SettingsStore::settings().setValue(kRecentKey, QVariant(paths).toList());
    SettingsStore::settings().sync();
    Q_EMIT recentDocumentsChanged();
}

// ---- entry points

void WPDocumentController::openOrFront()
{
    WPDocumentController* c = shared();
    if (!c)
        return;
    WPDocument* d = c->chosenDocument();
    if (d && c->windowFor(d)) {
        c->front(d);
        return;
    }
    if (WPDocument* made = c->makeUntitledDocument())
        c->m_openedByItself.insert(made);
}

void WPDocumentController::send(const QTextDocumentFragment& text)
{
    WPDocumentController* c = shared();
    if (!c)
        return;
    WPDocument* d = c->chosenDocument();
    if (!d)
        d = c->makeUntitledDocument();
    WPWindowController* w = d ? c->windowFor(d) : nullptr;
    if (!w)
        return;
    c->front(d);
    w->appendParagraph(text);
}

// ---- menu commands

bool WPDocumentController::validateAction(const QString& name) const
{
    if (name == QLatin1String("clearRecentDocuments"))
        return !recentDocuments().isEmpty();
    if (!documentCommands().contains(name))
        return true;
    const WPDocument* d = currentDocument();
    if (!d)
        return false;
    if (name == QLatin1String("revertDocumentToSaved"))
        return !d->filePath().isEmpty() && d->isEdited();
    return true;
}

void WPDocumentController::newDocument()
{
    makeUntitledDocument();
}

void WPDocumentController::openDocument()
{
    const QStringList paths = WPOpenSavePanels::chooseFilesToOpen(QApplication::activeWindow());
    for (const QString& p : paths)
        openDocumentFile(p);
}

void WPDocumentController::openRecentDocument(QAction* sender)
{
    if (sender && sender->data().typeId() == QMetaType::QString)
        openDocumentFile(sender->data().toString());
}

void WPDocumentController::clearRecentDocuments()
{
    writeRecent({});
}

void WPDocumentController::saveDocument()
{
    save(currentDocument());
}

void WPDocumentController::saveDocumentAs()
{
    saveAs(currentDocument());
}

void WPDocumentController::revertDocumentToSaved()
{
    revert(currentDocument());
}

void WPDocumentController::runPageLayout()
{
    WPDocument* d = currentDocument();
    WPPrintPanels::runPageLayout(d, parentWindow(d));
}

void WPDocumentController::printDocument()
{
    WPDocument* d = currentDocument();
    WPPrintPanels::print(d, parentWindow(d));
}

void WPDocumentController::exportPDF()
{
    WPDocument* d = currentDocument();
    WPPrintPanels::exportPDF(d, parentWindow(d));
}
