#include "AlertAnswers.h"
#include "WPTestFiles.h"
#include "TestEnvironment.h"
#include "wordproc/WPDocument.h"
#include "wordproc/views/WPDocumentController.h"
#include "wordproc/views/WPOpenSavePanels.h"
#include "wordproc/views/WPWindowController.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <sys/stat.h>

using Result = WPDocumentController::SaveResult;

namespace {

void type(WPDocument* d, const QString& text)
{
    QTextCursor c(d->storage());
    c.movePosition(QTextCursor::End);
    c.insertText(text);
}

WPDocumentController& controller()
{
    return *WPDocumentController::shared();
}

} // namespace

// The files the word processor reads and writes through its panels: only
// documents, never a pipe, a device or a file of the system folders, and
// the window an opened file goes to.
class PanelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void specialFilesAreNotOpened_data();
    void specialFilesAreNotOpened();
    void specialPlacesAreNotSavedTo_data();
    void specialPlacesAreNotSavedTo();
    void panelsNeverStartInSystemFolders_data();
    void panelsNeverStartInSystemFolders();
    void panelsDoNotLookIntoSpecialFiles_data();
    void panelsDoNotLookIntoSpecialFiles();
    void openingReplacesAnUntouchedUntitledWindow_data();
    void openingReplacesAnUntouchedUntitledWindow();

private:
    // A row's path: absolute as given, else in the test folder, where a
    // name with "pipe" in it is made a pipe and one with "link" a link to
    // a kernel file.
    QString place(const QString& row);
    QTemporaryDir m_dir;
};

QString PanelTest::place(const QString& row)
{
    if (row.startsWith(QLatin1Char('/')))
        return row;
    const QString path = m_dir.filePath(row);
    if (row.contains(QLatin1String("pipe")) && !QFileInfo::exists(path))
        ::mkfifo(QFile::encodeName(path).constData(), 0600);
    if (row.contains(QLatin1String("link")) && !QFileInfo(path).isSymLink())
        QFile::link(QStringLiteral("/proc/self/status"), path);
    return path;
}

void PanelTest::initTestCase()
{
    new WPDocumentController(this);
    QVERIFY(WPDocumentController::shared());
}

void PanelTest::cleanup()
{
    Answers answers;
    answers.script = QStringList(20, QStringLiteral("Don’t Save"));
    for (WPDocument* d : controller().documents())
        controller().close(d);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(controller().documents().isEmpty());
}

void PanelTest::specialFilesAreNotOpened_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("a pipe") << QStringLiteral("pipe.txt");
    QTest::newRow("a kernel file") << QStringLiteral("/proc/self/status");
    QTest::newRow("a link to a kernel file") << QStringLiteral("status-link.txt");
    QTest::newRow("a device") << QStringLiteral("/dev/zero");
}

// A pipe, a device or a kernel file is refused with a message, before
// anything opens it (opening one would block the program).
void PanelTest::specialFilesAreNotOpened()
{
    QFETCH(QString, path);
    path = place(path);
    QVERIFY(QFileInfo::exists(path));
    Answers script;
    QVERIFY(!controller().openDocumentFile(path));
    QCOMPARE(script.asked.size(), 1);
    QCOMPARE(script.asked.at(0).style, AlertStyle::Critical);
    QVERIFY2(script.asked.at(0).informative.contains(QLatin1String("is not a document")),
             qPrintable(script.asked.at(0).informative));
    QVERIFY(controller().documents().isEmpty());
}

void PanelTest::specialPlacesAreNotSavedTo_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("a pipe") << QStringLiteral("pipe-out.docx");
    QTest::newRow("a device") << QStringLiteral("/dev/null");
    QTest::newRow("a kernel folder") << QStringLiteral("/proc/essay.docx");
}

// Writing there would block, or report a save that kept nothing: the save
// fails with a message and the document keeps its place.
void PanelTest::specialPlacesAreNotSavedTo()
{
    QFETCH(QString, path);
    path = place(path);
    WPDocument* d = controller().makeUntitledDocument();
    type(d, QStringLiteral("words"));
    Answers script;
    QCOMPARE(controller().saveTo(d, path, WPDocument::kDocxType, WPDocument::SaveOperation::saveAs), Result::failed);
    QCOMPARE(script.asked.size(), 1);
    QCOMPARE(script.asked.at(0).style, AlertStyle::Critical);
    QVERIFY(d->filePath().isEmpty());
    QVERIFY(d->isEdited());
}

void PanelTest::panelsNeverStartInSystemFolders_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("remembered");
    QTest::newRow("a document folder") << QStringLiteral("papers/essay.pdf") << true;
    QTest::newRow("a failed export into /proc") << QStringLiteral("/proc/essay.pdf") << false;
    QTest::newRow("deep in /sys") << QStringLiteral("/sys/kernel/essay.pdf") << false;
    QTest::newRow("/dev") << QStringLiteral("/dev/shm/essay.pdf") << false;
    QTest::newRow("a link to /proc") << QStringLiteral("proc-link/essay.pdf") << false;
}

void PanelTest::panelsNeverStartInSystemFolders()
{
    QFETCH(QString, chosen);
    QFETCH(bool, remembered);
    const QString before = m_dir.filePath(QStringLiteral("before"));
    QVERIFY(QDir().mkpath(before));
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("papers"))));
    if (!QFileInfo(m_dir.filePath(QStringLiteral("proc-link"))).isSymLink())
        QVERIFY(QFile::link(QStringLiteral("/proc"), m_dir.filePath(QStringLiteral("proc-link"))));
    if (!chosen.startsWith(QLatin1Char('/')))
        chosen = m_dir.filePath(chosen);
    WPOpenSavePanels::rememberFolderOf(before + QStringLiteral("/first.pdf"));
    WPOpenSavePanels::rememberFolderOf(chosen);
    QCOMPARE(WPOpenSavePanels::startFolderFor(), remembered ? QFileInfo(chosen).absolutePath() : before);
    // A document kept there does not lead a panel there either.
    const QString start = WPOpenSavePanels::startFolderFor(QFileInfo(chosen).absolutePath());
    QCOMPARE(start, remembered ? QFileInfo(chosen).absolutePath() : before);
    QVERIFY(!WPOpenSavePanels::folderFor(chosen).startsWith(QLatin1String("/proc")));
    QVERIFY(remembered || WPOpenSavePanels::folderFor(chosen) == QDir::homePath());
}

void PanelTest::panelsDoNotLookIntoSpecialFiles_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("type");
    QTest::newRow("a pipe") << QStringLiteral("panel-pipe") << QStringLiteral("File");
    QTest::newRow("a kernel file") << QStringLiteral("/proc/self/status") << QStringLiteral("File");
    QTest::newRow("a kernel folder") << QStringLiteral("/proc/self") << QStringLiteral("Folder");
    QTest::newRow("a device") << QStringLiteral("/dev/zero") << QStringLiteral("File");
    QTest::newRow("a text file is looked into") << QStringLiteral("look.txt") << QString();
}

// Looking into a pipe or a kernel file would block the panel (and the
// program with it): those get the plain look.
void PanelTest::panelsDoNotLookIntoSpecialFiles()
{
    QFETCH(QString, path);
    QFETCH(QString, type);
    path = place(path);
    if (path.endsWith(QLatin1String("look.txt")))
        QVERIFY(writeFile(path, "Plain words"));
    const QString shown = WPOpenSavePanels::iconProvider()->type(QFileInfo(path));
    if (type.isEmpty())
        QVERIFY2(shown != QLatin1String("File") && !shown.isEmpty(), qPrintable(shown));
    else
        QCOMPARE(shown, type);
    // Drawing it must not look into it either (a pipe would never answer).
    (void)WPOpenSavePanels::iconProvider()->icon(QFileInfo(path));
}

void PanelTest::openingReplacesAnUntouchedUntitledWindow_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("untouched, opened by the program") << QStringLiteral("tool") << true;
    QTest::newRow("typed into") << QStringLiteral("tool, typed") << false;
    QTest::newRow("typed into and emptied again") << QStringLiteral("tool, typed, emptied") << false;
    QTest::newRow("margins changed") << QStringLiteral("tool, margins") << false;
    QTest::newRow("made with New") << QStringLiteral("new") << false;
    QTest::newRow("beside another document") << QStringLiteral("tool, new") << false;
}

// Opening a file while the only window is an untouched Untitled document
// that the program opened by itself puts the file in its place.
void PanelTest::openingReplacesAnUntouchedUntitledWindow()
{
    QFETCH(QString, before);
    QFETCH(bool, replaced);
    if (before.startsWith(QLatin1String("tool")))
        WPDocumentController::openOrFront();
    else
        controller().newDocument();
    WPDocument* untitled = controller().documents().constFirst();
    WPWindowController* w = controller().windowFor(untitled);
    w->setGeometry(QRect(140, 120, 990, 910));
    if (before.contains(QLatin1String("typed")))
        type(untitled, QStringLiteral("a"));
    if (before.contains(QLatin1String("emptied"))) {
        untitled->storage()->undo();
        untitled->setEdited(false);
    }
    if (before.contains(QLatin1String("margins")))
        w->setMargins(36, 36);
    if (before.contains(QLatin1String(", new")))
        controller().newDocument();
    const int open = int(controller().documents().size());
    const QString path = m_dir.filePath(QStringLiteral("replacing.txt"));
    QVERIFY(writeFile(path, "From disk"));
    Answers answers;
    WPDocument* d = controller().openDocumentFile(path);
    QVERIFY(d);
    QVERIFY(answers.asked.isEmpty());
    QCOMPARE(controller().documents().contains(untitled), !replaced);
    QCOMPARE(controller().documents().size(), replaced ? 1 : open + 1);
    if (replaced)
        QCOMPARE(controller().windowFor(d)->geometry(), QRect(140, 120, 990, 910));
}

QTEST_MAIN(PanelTest)
#include "tst_panels.moc"
