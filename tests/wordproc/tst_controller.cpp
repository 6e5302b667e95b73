#include "AlertAnswers.h"
#include "WPTestFiles.h"
#include "TestEnvironment.h"
#include "core/SettingsStore.h"
#include "ui/Alert.h"
#include "wordproc/WPDocument.h"
#include "wordproc/views/WPDocumentController.h"
#include "wordproc/views/WPOpenSavePanels.h"
#include "wordproc/views/PageTextView.h"
#include "wordproc/views/WPToolbar.h"
#include "wordproc/views/WPWindowController.h"
#include "wordproc/WPCommands.h"
#include "wordproc/WPState.h"

#include <QApplication>
#include <QFileInfo>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QUrl>


using Result = WPDocumentController::SaveResult;
Q_DECLARE_METATYPE(WPDocumentController::SaveResult)

namespace {

const QString plain = QStringLiteral("public.plain-text");
const QString dontSave = QStringLiteral("Don’t Save");


void type(WPDocument* d, const QString& text)
{
    QTextCursor c(d->storage());
    c.movePosition(QTextCursor::End);
    c.insertText(text);
}

void addPicture(WPDocument* d)
{
    QTextImageFormat image;
    image.setName(QStringLiteral("wpimage:p.png"));
    QTextCursor c(d->storage());
    c.movePosition(QTextCursor::End);
    c.insertImage(image);
}

WPDocumentController& controller()
{
    return *WPDocumentController::shared();
}

} // namespace

class ControllerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void untitledNamesAndTitles();
    void openOrFrontMakesOneDocument();
    void sendAppendsToTheLastDocument();
    void closeAsks_data();
    void closeAsks();
    void quitAsksAboutEveryEditedDocument();
    void openingTwiceFrontsTheSameDocument();
    void openFailureIsReported();
    void textFilesOpenAsText_data();
    void textFilesOpenAsText();
    void openPanelOpensEveryChosenFile();
    void saveAsTakesTheChosenPlaceAndType();
    void pictureWarningIsShownOnce();
    void revertReadsTheFileAgain();
    void revertTakesBackHeaderFooterAndPageSetup_data();
    void revertTakesBackHeaderFooterAndPageSetup();
    void recentDocuments();
    void openPanelFilters();
    void typedExtensionPicksTheType_data();
    void typedExtensionPicksTheType();
    void openedDocumentShowsTheCaretFormat_data();
    void openedDocumentShowsTheCaretFormat();

private:
    QTemporaryDir m_dir;
};

void ControllerTest::initTestCase()
{
    new WPDocumentController(this);
    QVERIFY(WPDocumentController::shared());
    QCOMPARE(controller().defaultType(), WPDocument::kDocxType);
}

void ControllerTest::cleanup()
{
    Answers answers;
    answers.script = QStringList(20, dontSave);
    for (WPDocument* d : controller().documents())
        controller().close(d);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(controller().documents().isEmpty());
    WPOpenSavePanels::setSaveChooser({});
    WPOpenSavePanels::setOpenChooser({});
    controller().clearRecentDocuments();
}

void ControllerTest::untitledNamesAndTitles()
{
    WPDocument* a = controller().makeUntitledDocument();
    WPDocument* b = controller().makeUntitledDocument();
    WPDocument* c = controller().makeUntitledDocument();
    QCOMPARE(a->displayName(), QStringLiteral("Untitled"));
    QCOMPARE(b->displayName(), QStringLiteral("Untitled 2"));
    QCOMPARE(c->displayName(), QStringLiteral("Untitled 3"));
    QCOMPARE(a->fileType(), WPDocument::kDocxType);
    QCOMPARE(WPDocumentController::wpDocuments(), (QList<WPDocument*>{a, b, c}));
    QVERIFY(controller().close(b));
    QCOMPARE(controller().makeUntitledDocument()->displayName(), QStringLiteral("Untitled 2"));

    QMainWindow* w = controller().windowFor(a);
    QVERIFY(w && w->isVisible());
    QCOMPARE(w->windowTitle(), QStringLiteral("Untitled[*] — Word Processor · Brindleworks by VEXO"));
    QVERIFY(!w->isWindowModified());
    type(a, QStringLiteral("x"));
    QVERIFY(w->isWindowModified());
    a->setEdited(false);
    QVERIFY(!w->isWindowModified());
}

void ControllerTest::openOrFrontMakesOneDocument()
{
    QWidget other;
    other.show();
    WPDocumentController::openOrFront();
    QCOMPARE(controller().documents().size(), 1);
    WPDocumentController::openOrFront();
    QCOMPARE(controller().documents().size(), 1);
}

void ControllerTest::sendAppendsToTheLastDocument()
{
    controller().makeUntitledDocument();
    WPDocument* last = controller().makeUntitledDocument();
    QWidget other;
    other.show();
    other.activateWindow();
    const QTextDocumentFragment text = QTextDocumentFragment::fromPlainText(QStringLiteral("Smith, J. (2020)."));
    WPDocumentController::send(text);
    WPDocumentController::send(text);
    QCOMPARE(controller().documents().constFirst()->storage()->toPlainText(), QString());
    const QStringList paragraphs = last->storage()->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(paragraphs, QStringList(2, QStringLiteral("Smith, J. (2020).")));

    // With nothing open, send makes a document for the text.
    cleanup();
    WPDocumentController::send(text);
    QCOMPARE(controller().documents().size(), 1);
    QVERIFY(controller().documents().constFirst()->storage()->toPlainText().contains(QStringLiteral("Smith")));
}

void ControllerTest::closeAsks_data()
{
    QTest::addColumn<bool>("edited");
    QTest::addColumn<bool>("untitled");
    QTest::addColumn<bool>("lockedFolder");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QByteArray>("fileAfter");
    QTest::addColumn<int>("alerts");
    const QStringList save{QStringLiteral("Save")};
    QTest::newRow("unedited closes at once") << false << false << false << QStringList() << true << QByteArray("old") << 0;
    QTest::newRow("cancel keeps it open") << true << false << false << QStringList{QStringLiteral("Cancel")} << false
                                          << QByteArray("old") << 1;
    QTest::newRow("don't save closes") << true << false << false << QStringList{dontSave} << true << QByteArray("old")
                                       << 1;
    QTest::newRow("save writes, then closes") << true << false << false << save << true << QByteArray("old new") << 1;
    QTest::newRow("save of an untitled one needs a place") << true << true << false << save << false
                                                           << QByteArray("old") << 1;
    QTest::newRow("a failed save keeps it open") << true << false << true << save << false << QByteArray("old") << 2;
}

void ControllerTest::closeAsks()
{
    QFETCH(bool, edited);
    QFETCH(bool, untitled);
    QFETCH(bool, lockedFolder);
    QFETCH(QStringList, answers);
    QFETCH(bool, closed);
    QFETCH(QByteArray, fileAfter);
    QFETCH(int, alerts);
    const QString folder = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/notes.txt");
    QVERIFY(writeFile(path, "old"));

    WPDocument* d = untitled ? controller().makeUntitledDocument() : controller().openDocumentFile(path);
    QVERIFY(d);
    if (edited)
        type(d, QStringLiteral(" new"));
    WPOpenSavePanels::setSaveChooser([](QWidget*, const QString&, const QString&) {
        return std::optional<WPOpenSavePanels::SaveChoice>();
    });
    std::optional<ReadOnlyFolder> lock;
    if (lockedFolder) {
        lock.emplace(folder);
        if (lock->writable())
            QSKIP("this system lets the test write into a read-only folder");
    }
    Answers script;
    script.script = answers;
    QCOMPARE(controller().close(d), closed);
    lock.reset();
    QCOMPARE(int(script.asked.size()), alerts);
    if (alerts) {
        const AlertRequest& prompt = script.asked.constFirst();
        QCOMPARE(prompt.title, QStringLiteral("Do you want to save the changes made to the document “%1”?")
                                   .arg(untitled ? QStringLiteral("Untitled") : QStringLiteral("notes.txt")));
        QCOMPARE(prompt.informative, QStringLiteral("Your changes will be lost if you don’t save them."));
        QCOMPARE(prompt.buttons, (QStringList{QStringLiteral("Save"), dontSave, QStringLiteral("Cancel")}));
    }
    if (alerts == 2)
        QVERIFY2(script.asked.at(1).title.startsWith(QStringLiteral("The document could not be saved: ")),
                 qPrintable(script.asked.at(1).title));
    QCOMPARE(controller().documents().contains(d), !closed);
    if (!closed)
        QVERIFY(d->isEdited());
    QCOMPARE(readAll(path), fileAfter);
}

void ControllerTest::quitAsksAboutEveryEditedDocument()
{
    WPDocument* a = controller().makeUntitledDocument();
    WPDocument* b = controller().makeUntitledDocument();
    WPDocument* c = controller().makeUntitledDocument();
    type(a, QStringLiteral("a"));
    type(c, QStringLiteral("c"));
    Q_UNUSED(b)
    {
        Answers script;
        script.script = QStringList{dontSave, QStringLiteral("Cancel")};
        QVERIFY(!controller().reviewUnsavedDocuments());
        QCOMPARE(script.titles().size(), 2);
        QVERIFY(script.titles().at(0).contains(QStringLiteral("“Untitled”")));
        QVERIFY(script.titles().at(1).contains(QStringLiteral("“Untitled 3”")));
        QCOMPARE(controller().documents().size(), 3);
    }
    {
        Answers script;
        script.script = QStringList{dontSave, dontSave};
        QVERIFY(controller().reviewUnsavedDocuments());
        QCOMPARE(script.asked.size(), 2);
        QVERIFY(controller().documents().isEmpty());
    }
}

void ControllerTest::openingTwiceFrontsTheSameDocument()
{
    const QString path = m_dir.filePath(QStringLiteral("twice.txt"));
    QVERIFY(writeFile(path, "Once"));
    WPDocument* d = controller().openDocumentFile(path);
    QVERIFY(d);
    QCOMPARE(d->storage()->toPlainText(), QStringLiteral("Once"));
    QCOMPARE(d->filePath(), path);
    QCOMPARE(d->fileType(), plain);
    QVERIFY(!d->isEdited());
    QCOMPARE(controller().windowFor(d)->windowTitle(),
             QStringLiteral("twice.txt[*] — Word Processor · Brindleworks by VEXO"));
    QCOMPARE(controller().openDocumentFile(path), d);
    QCOMPARE(controller().openDocumentFile(m_dir.path() + QStringLiteral("/./twice.txt")), d);
    const QString link = m_dir.filePath(QStringLiteral("link.txt"));
    QVERIFY(QFile::link(path, link));
    QCOMPARE(controller().openDocumentFile(link), d);
    QCOMPARE(controller().documents().size(), 1);
}

void ControllerTest::openFailureIsReported()
{
    Answers script;
    QVERIFY(!controller().openDocumentFile(m_dir.filePath(QStringLiteral("gone.txt"))));
    QCOMPARE(script.asked.size(), 1);
    QCOMPARE(script.asked.at(0).title, QStringLiteral("The document “gone.txt” could not be opened."));
    QCOMPARE(script.asked.at(0).style, AlertStyle::Critical);
    QVERIFY(controller().documents().isEmpty());
    QVERIFY(controller().recentDocuments().isEmpty());
}

void ControllerTest::openPanelOpensEveryChosenFile()
{
    const QString a = m_dir.filePath(QStringLiteral("one.txt"));
    const QString b = m_dir.filePath(QStringLiteral("two.md"));
    QVERIFY(writeFile(a, "1"));
    QVERIFY(writeFile(b, "# 2"));
    WPOpenSavePanels::setOpenChooser([&](QWidget*) { return QStringList{a, b}; });
    controller().openDocument();
    QCOMPARE(controller().documents().size(), 2);
    QCOMPARE(controller().documents().at(1)->storage()->toPlainText(), QStringLiteral("# 2"));
    WPOpenSavePanels::setOpenChooser([](QWidget*) { return QStringList(); });
    controller().openDocument();
    QCOMPARE(controller().documents().size(), 2);
}

void ControllerTest::saveAsTakesTheChosenPlaceAndType()
{
    WPDocument* d = controller().makeUntitledDocument();
    type(d, QStringLiteral("Saved as text"));
    QString proposedName, proposedType;
    const QString path = m_dir.filePath(QStringLiteral("saved.txt"));
    WPOpenSavePanels::setSaveChooser([&](QWidget*, const QString& name, const QString& typeName) {
        proposedName = name;
        proposedType = typeName;
        return std::optional<WPOpenSavePanels::SaveChoice>({path, plain});
    });
    QCOMPARE(controller().save(d), Result::saved);
    QCOMPARE(proposedName, QStringLiteral("Untitled"));
    QCOMPARE(proposedType, WPDocument::kDocxType);
    QCOMPARE(readAll(path), QByteArray("Saved as text"));
    QCOMPARE(d->filePath(), path);
    QCOMPARE(d->fileType(), plain);
    QVERIFY(!d->isEdited());
    QCOMPARE(controller().windowFor(d)->windowTitle(),
             QStringLiteral("saved.txt[*] — Word Processor · Brindleworks by VEXO"));
    QCOMPARE(controller().recentDocuments().value(0), path);

    // Save now writes where the file is, without a panel.
    WPOpenSavePanels::setSaveChooser([](QWidget*, const QString&, const QString&) {
        return std::optional<WPOpenSavePanels::SaveChoice>();
    });
    type(d, QStringLiteral("!"));
    QCOMPARE(controller().save(d), Result::saved);
    QCOMPARE(readAll(path), QByteArray("Saved as text!"));
    QCOMPARE(controller().saveAs(d), Result::cancelled);
}

void ControllerTest::pictureWarningIsShownOnce()
{
    const QString path = m_dir.filePath(QStringLiteral("pictures.txt"));
    QVERIFY(writeFile(path, "old"));
    WPDocument* d = controller().openDocumentFile(path);
    QVERIFY(d);
    addPicture(d);
    type(d, QStringLiteral("text"));
    {
        Answers script;
        script.script = QStringList{QStringLiteral("Cancel")};
        QCOMPARE(controller().save(d), Result::cancelled);
        QCOMPARE(script.asked.size(), 1);
        QCOMPARE(script.asked.at(0).title, QStringLiteral("This document contains pictures"));
        QVERIFY(script.asked.at(0).informative.contains(QStringLiteral("(TXT)")));
        QCOMPARE(script.asked.at(0).buttons, (QStringList{QStringLiteral("Save Anyway"), QStringLiteral("Cancel")}));
        QCOMPARE(readAll(path), QByteArray("old"));
        QVERIFY(d->isEdited());
    }
    {
        // The warning is shown once per open document: after "Cancel" the
        // next save writes without asking.
        Answers script;
        QCOMPARE(controller().save(d), Result::saved);
        QVERIFY(script.asked.isEmpty());
        QVERIFY(readAll(path).endsWith("text"));
    }
    {
        Answers script;
        type(d, QStringLiteral(" more"));
        QCOMPARE(controller().save(d), Result::saved);
        QVERIFY(script.asked.isEmpty());
    }
}

void ControllerTest::revertReadsTheFileAgain()
{
    const QString path = m_dir.filePath(QStringLiteral("revert.txt"));
    QVERIFY(writeFile(path, "saved text"));
    WPDocument* d = controller().openDocumentFile(path);
    QVERIFY(d);
    QTextDocument* storage = d->storage();
    type(d, QStringLiteral(" and changes"));
    {
        Answers script;
        QVERIFY(!controller().revert(d)); // "Cancel"
        QCOMPARE(storage->toPlainText(), QStringLiteral("saved text and changes"));
        QVERIFY(script.asked.at(0).title.startsWith(QStringLiteral("Do you want to revert")));
    }
    {
        Answers script;
        script.script = QStringList{QStringLiteral("Revert")};
        QVERIFY(controller().revert(d));
        QCOMPARE(d->storage(), storage);
        QCOMPARE(storage->toPlainText(), QStringLiteral("saved text"));
        QVERIFY(!d->isEdited());
    }
    {
        // The file went away: the text stays as it is.
        type(d, QStringLiteral("!"));
        QFile::remove(path);
        Answers script;
        script.script = QStringList{QStringLiteral("Revert")};
        QVERIFY(!controller().revert(d));
        QCOMPARE(storage->toPlainText(), QStringLiteral("saved text!"));
        QCOMPARE(script.asked.size(), 2);
    }
}

void ControllerTest::textFilesOpenAsText_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("typeName");
    QTest::addColumn<QString>("shown");
    const QByteArray page("<html><body><b>hi</b></body></html>");
    const QByteArray rtf("{\\rtf1\\ansi hello}");
    const QString html = QStringLiteral("public.html");
    QTest::newRow("html in .txt") << QStringLiteral("page.txt") << page << plain << QString::fromLatin1(page);
    QTest::newRow("rtf in .md") << QStringLiteral("notes.md") << rtf << plain << QString::fromLatin1(rtf);
    QTest::newRow("html in .html") << QStringLiteral("page.html") << page << html << QStringLiteral("hi");
    QTest::newRow("rtf in .doc") << QStringLiteral("letter.doc") << rtf << QStringLiteral("public.rtf")
                                 << QStringLiteral("hello");
}

// A text file shows the characters it holds, and saving it writes them back
// as they were, not as the markup they look like.
void ControllerTest::textFilesOpenAsText()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, typeName);
    QFETCH(QString, shown);
    const QString path = m_dir.filePath(name);
    QVERIFY(writeFile(path, bytes));
    WPDocument* d = controller().openDocumentFile(path);
    QVERIFY(d);
    QCOMPARE(d->fileType(), typeName);
    QCOMPARE(d->storage()->toPlainText(), shown);
    if (typeName == plain) {
        type(d, QStringLiteral("\n"));
        QCOMPARE(controller().save(d), Result::saved);
        QCOMPARE(readAll(path), bytes + "\n");
    }
}

void ControllerTest::revertTakesBackHeaderFooterAndPageSetup_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typeName");
    QTest::addColumn<QString>("savedFooter");
    QTest::addColumn<qreal>("savedMargin");
    // Plain text keeps neither: reverting gives what opening gives.
    QTest::newRow("plain text") << QStringLiteral("r.txt") << plain << QString() << qreal(72);
    QTest::newRow("rtf with a footer") << QStringLiteral("r.rtf") << QStringLiteral("public.rtf")
                                       << QStringLiteral("Page {page}") << qreal(54);
    QTest::newRow("rtf without one") << QStringLiteral("r2.rtf") << QStringLiteral("public.rtf") << QString()
                                     << qreal(90);
    QTest::newRow("docx with a footer") << QStringLiteral("r.docx") << WPDocument::kDocxType
                                        << QStringLiteral("{title}") << qreal(36);
}

void ControllerTest::revertTakesBackHeaderFooterAndPageSetup()
{
    QFETCH(QString, name);
    QFETCH(QString, typeName);
    QFETCH(QString, savedFooter);
    QFETCH(qreal, savedMargin);
    const QString path = m_dir.filePath(name);
    {
        WPDocument original;
        type(&original, QStringLiteral("saved"));
        original.setHeaderFooter(QString(), savedFooter);
        WPPageSetup setup;
        setup.leftMargin = setup.topMargin = savedMargin;
        original.setPageSetup(setup);
        QString error;
        QVERIFY2(original.writeTo(path, typeName, &error), qPrintable(error));
    }
    WPDocument* d = controller().openDocumentFile(path);
    QVERIFY(d);
    d->setHeaderFooter(QStringLiteral("new header"), QStringLiteral("new footer"));
    WPPageSetup changed = d->pageSetup();
    changed.leftMargin = changed.topMargin = 120;
    changed.paperSize = QSizeF(842, 595);
    d->setPageSetup(changed);
    QVERIFY(d->isEdited());

    Answers script;
    script.script = QStringList{QStringLiteral("Revert")};
    QVERIFY(controller().revert(d));
    QCOMPARE(d->headerText(), QString());
    QCOMPARE(d->footerText(), savedFooter);
    QCOMPARE(d->pageSetup().leftMargin, savedMargin);
    QCOMPARE(d->pageSetup().topMargin, savedMargin);
    QCOMPARE(d->pageSetup().paperSize, QSizeF(612, 792));
    QVERIFY(!d->isEdited());
    // The window shows the page it now has.
    QCOMPARE(controller().windowFor(d)->textView()->pageSetup(), d->pageSetup());
}

void ControllerTest::recentDocuments()
{
    QStringList paths;
    for (int i = 0; i < 12; ++i) {
        paths.append(m_dir.filePath(QStringLiteral("recent-%1.txt").arg(i)));
        QVERIFY(writeFile(paths.constLast(), "r"));
        controller().noteRecentDocument(paths.constLast());
    }
    QStringList expected;
    for (int i = 11; i >= 2; --i)
        expected.append(paths.at(i));
    QCOMPARE(controller().recentDocuments(), expected);
    controller().noteRecentDocument(paths.at(5));
    QCOMPARE(controller().recentDocuments().constFirst(), paths.at(5));
    QCOMPARE(controller().recentDocuments().size(), 10);
    QFile::remove(paths.at(11));
    QVERIFY(!controller().recentDocuments().contains(paths.at(11)));
    // The list survives a reload of the settings file.
    SettingsStore::settings().sync();
    QVERIFY(controller().validateAction(QStringLiteral("clearRecentDocuments")));
    controller().clearRecentDocuments();
    QVERIFY(controller().recentDocuments().isEmpty());
    QVERIFY(!controller().validateAction(QStringLiteral("clearRecentDocuments")));
}

void ControllerTest::openPanelFilters()
{
    const QStringList filters = WPOpenSavePanels::openFilters();
    QVERIFY(filters.constFirst().startsWith(QStringLiteral("All readable documents (")));
    for (const char* ext : {"*.docx", "*.doc", "*.rtf", "*.rtfd", "*.odt", "*.txt", "*.html", "*.xml", "*.md"})
        QVERIFY2(filters.constFirst().contains(QLatin1String(ext)), ext);
    QCOMPARE(filters.size(), WPOpenSavePanels::readable().size() + 1);
    QCOMPARE(WPOpenSavePanels::saveable().constFirst().type, WPFormat::DocType::Docx);
    // The single-file RTFD is never offered: RTFD is written as a folder.
    for (const WPOpenSavePanels::FileType& t : WPOpenSavePanels::saveable())
        QVERIFY(t.typeName() != QLatin1String("com.apple.flat-rtfd"));
    // A file chosen inside an RTFD folder opens the folder.
    QCOMPARE(WPOpenSavePanels::documentPathFor(QStringLiteral("/a/Report.rtfd/TXT.rtf")),
             QStringLiteral("/a/Report.rtfd"));
    QCOMPARE(WPOpenSavePanels::documentPathFor(QStringLiteral("/a/b/c.rtf")), QStringLiteral("/a/b/c.rtf"));
}

void ControllerTest::typedExtensionPicksTheType_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("typeName");
    QTest::addColumn<bool>("warned");
    const QString rtf = QStringLiteral("public.rtf");
    QTest::newRow("no extension") << "letter" << "letter.docx" << WPDocument::kDocxType << false;
    QTest::newRow("the filter's extension") << "letter.docx" << "letter.docx" << WPDocument::kDocxType << false;
    QTest::newRow("another type's extension") << "letter.rtf" << "letter.rtf" << rtf << true;
    QTest::newRow("upper case") << "LETTER.RTF" << "LETTER.RTF" << rtf << true;
    QTest::newRow("second extension of a type") << "page.htm" << "page.htm" << QStringLiteral("public.html")
                                                << true;
    QTest::newRow("unknown extension") << "letter.v2" << "letter.v2.docx" << WPDocument::kDocxType << false;
    QTest::newRow("trailing dot") << "letter." << "letter.docx" << WPDocument::kDocxType << false;
}

// A name typed with the Word filter chosen: a known extension saves in its
// type (and the picture warning speaks of it), any other gets ".docx".
void ControllerTest::typedExtensionPicksTheType()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(QString, typeName);
    QFETCH(bool, warned);
    const WPOpenSavePanels::FileType word = WPOpenSavePanels::saveable().constFirst();
    QCOMPARE(word.typeName(), WPDocument::kDocxType);
    const WPOpenSavePanels::SaveChoice choice = WPOpenSavePanels::resolveSaveChoice(m_dir.filePath(typed), word);
    QCOMPARE(choice.path, m_dir.filePath(written));
    QCOMPARE(choice.typeName, typeName);

    WPDocument* d = controller().makeUntitledDocument();
    type(d, QStringLiteral("With a picture"));
    addPicture(d);
    WPOpenSavePanels::setSaveChooser([&](QWidget*, const QString&, const QString&) {
        return std::optional<WPOpenSavePanels::SaveChoice>(choice);
    });
    Answers answers;
    answers.script = {QStringLiteral("Save Anyway")};
    QCOMPARE(controller().saveAs(d), Result::saved);
    QCOMPARE(d->fileType(), typeName);
    QCOMPARE(d->filePath(), m_dir.filePath(written));
    QCOMPARE(answers.asked.size(), warned ? 1 : 0);
    QFile::remove(m_dir.filePath(written));
}

void ControllerTest::openedDocumentShowsTheCaretFormat_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typeName");
    QTest::newRow("docx") << QStringLiteral("heading.docx") << WPDocument::kDocxType;
    QTest::newRow("rtf") << QStringLiteral("heading.rtf") << QStringLiteral("public.rtf");
    QTest::newRow("odt") << QStringLiteral("heading.odt") << QStringLiteral("org.oasis-open.opendocument.text");
}

// The bar shows the heading the caret starts in as soon as the window is
// up, before any click.
void ControllerTest::openedDocumentShowsTheCaretFormat()
{
    QFETCH(QString, name);
    QFETCH(QString, typeName);
    const QString path = m_dir.filePath(name);
    {
        WPDocument source;
        QTextCursor c(source.storage());
        QTextCharFormat heading;
        QFont f = WPCommands::defaultFont();
        f.setPointSizeF(20);
        f.setBold(true);
        WPCommands::putFont(heading, f);
        c.insertText(QStringLiteral("Annual letter"), heading);
        c.insertBlock(QTextBlockFormat(), QTextCharFormat());
        c.insertText(QStringLiteral("Body text."));
        QString error;
        QVERIFY2(source.writeTo(path, typeName, &error), qPrintable(error));
    }
    WPDocument* d = controller().openDocumentFile(path);
    QVERIFY(d);
    WPWindowController* w = controller().windowFor(d);
    QVERIFY(w);
    QCOMPARE(w->textView()->textCursor().position(), 0);
    QCOMPARE(w->state()->fontSize(), 20.0);
    QVERIFY(w->state()->bold());
    QCOMPARE(w->toolbar()->shownSize(), QStringLiteral("20"));
}

QTEST_MAIN(ControllerTest)
#include "tst_controller.moc"
