#include "core/SettingsStore.h"
#include "ui/ChromeButton.h"
#include "core/Spelling.h"
#include "wordproc/WPCommands.h"
#include "wordproc/WPInsert.h"
#include "wordproc/WPText.h"
#include "wordproc/WPDocument.h"
#include "wordproc/WPState.h"
#include "wordproc/views/PageTextView.h"
#include "wordproc/views/WPToolbar.h"
#include "wordproc/views/WPFixedCombo.h"
#include "ui/Fonts.h"
#include "wordproc/views/WPWindowController.h"

#include "ui/SpellingPanel.h"
#include "wordproc/views/WPFindBar.h"
#include "wordproc/views/WPHeaderFooterDialog.h"
#include "wordproc/views/WPOpenSavePanels.h"
#include "wordproc/views/WPPrintPanels.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QImage>
#include <QMenu>
#include <QPrinter>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

// Two runs: 13.5-point text in a family nobody has, then 14-point bold
// centred text.
struct Fixture {
    WPDocument doc;
    std::unique_ptr<WPWindowController> window = std::make_unique<WPWindowController>(&doc);
    Fixture()
    {
        QTextCursor c(doc.storage());
        QTextCharFormat odd;
        QFont f(QStringLiteral("No Such Family 123"));
        f.setPointSizeF(13.5);
        WPCommands::putFont(odd, f);
        c.insertText(QStringLiteral("odd "), odd);
        QTextCharFormat bold;
        QFont g(WPCommands::defaultFont());
        g.setPointSizeF(14);
        g.setBold(true);
        WPCommands::putFont(bold, g);
        c.insertText(QStringLiteral("bold"), bold);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    WPToolbar* bar() const { return window->toolbar(); }
    void select(int start, int end)
    {
        QTextCursor c(doc.storage());
        c.setPosition(start);
        c.setPosition(end, QTextCursor::KeepAnchor);
        window->textView()->setTextCursor(c);
    }
};

// What pressing a control should have done, read from the window.
struct Press {
    const char* control;  // tooltip, or the title of a menu button
    const char* item;     // the menu item chosen, as the menu shows it
    std::function<bool(Fixture&)> ran;
};

QTextCharFormat at(Fixture& f, int position)
{
    return WPCommands::formatAt(f.doc.storage(), position);
}

QTextBlockFormat firstParagraph(Fixture& f)
{
    return f.doc.storage()->begin().blockFormat();
}

bool hasTable(Fixture& f)
{
    return !f.doc.storage()->rootFrame()->childFrames().isEmpty();
}

// What a menu shows for an item: "&&" is a plain "&", a single "&" only
// marks the mnemonic.
QString shown(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        out += text.at(i);
    }
    return out;
}

// The panels and dialogs the controls open, answered at once.
struct Answers {
    QTemporaryDir dir;
    QString picture = dir.filePath(QStringLiteral("dot.png"));
    QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    int printPanels = 0;
    int pageSetupPanels = 0;
    Answers()
    {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        image.save(picture);
        WPOpenSavePanels::setImageChooser([this](QWidget*) { return picture; });
        WPOpenSavePanels::setPdfChooser([this](QWidget*, const QString&) { return pdf; });
        WPPrintPanels::setPrintChooser([this](QWidget*, int) -> QPagedPaintDevice* {
            ++printPanels;
            return nullptr;
        });
        WPPrintPanels::setPageSetupChooser([this](QWidget*, const WPPageSetup&) {
            ++pageSetupPanels;
            return std::optional<WPPageSetup>();
        });
    }
    ~Answers()
    {
        WPOpenSavePanels::setImageChooser({});
        WPOpenSavePanels::setPdfChooser({});
        WPPrintPanels::setPrintChooser({});
        WPPrintPanels::setPageSetupChooser({});
    }
};

Answers* answers = nullptr;

const Press kPresses[] = {
    {"Styles", "Heading 1", [](Fixture& f) { return WPCommands::fontOf(at(f, 5)).pointSizeF() == 20; }},
    {"Font", "", [](Fixture& f) { return WPCommands::fontOf(at(f, 5)).family() == WPWindowController::families().first(); }},
    {"Font size", "", [](Fixture& f) { return WPCommands::fontOf(at(f, 5)).pointSizeF() == 8; }},
    {"Bold (Ctrl+B)", "", [](Fixture& f) { return !WPCommands::fontOf(at(f, 5)).bold(); }},
    {"Italic (Ctrl+I)", "", [](Fixture& f) { return WPCommands::fontOf(at(f, 5)).italic(); }},
    {"Underline (Ctrl+U)", "", [](Fixture& f) { return WPCommands::underlineStyle(at(f, 5)) != 0; }},
    {"Strikethrough", "", [](Fixture& f) { return WPCommands::strikeStyle(at(f, 5)) != 0; }},
    {"Text color", "", [](Fixture& f) { return at(f, 5).foreground().color() == QColor(Qt::red); }},
    {"Highlight color", "", [](Fixture& f) { return at(f, 5).background().color() == QColor(Qt::red); }},
    {"Align left", "", [](Fixture& f) { return firstParagraph(f).alignment() == Qt::AlignLeft; }},
    {"Center", "", [](Fixture& f) { return firstParagraph(f).alignment() == Qt::AlignHCenter; }},
    {"Align right", "", [](Fixture& f) { return firstParagraph(f).alignment() == Qt::AlignRight; }},
    {"Justify", "", [](Fixture& f) { return firstParagraph(f).alignment() == Qt::AlignJustify; }},
    {"Bulleted list", "", [](Fixture& f) { return f.doc.storage()->toPlainText().startsWith(QStringLiteral("\t\u2022\t")); }},
    {"Numbered list", "", [](Fixture& f) { return f.doc.storage()->toPlainText().startsWith(QStringLiteral("\t1.\t")); }},
    {"Decrease indent", "", [](Fixture& f) { return firstParagraph(f).leftMargin() == 0; }},
    {"Increase indent", "", [](Fixture& f) { return firstParagraph(f).leftMargin() == WPText::toPixels(72); }},
    {"Line spacing", "Double (2.0)", [](Fixture& f) { return firstParagraph(f).lineHeight() == 200; }},
    {"Insert a table", "5 rows \u00D7 3 columns", [](Fixture& f) { return hasTable(f); }},
    {"Insert a table", "Table Options\u2026", [](Fixture& f) { return f.window->findChild<QDialog*>() != nullptr; }},
    {"Insert picture", "", [](Fixture& f) { return f.doc.containsImages(); }},
    {"Margins and page setup", "Wide (1\" / 2\")", [](Fixture& f) { return f.doc.pageSetup().leftMargin == 144; }},
    {"Margins and page setup", "Page Setup\u2026 (paper & orientation)", [](Fixture&) { return answers->pageSetupPanels == 1; }},
    {"Header & footer", "", [](Fixture& f) { return f.window->findChild<WPHeaderFooterDialog*>() != nullptr; }},
    {"Find (Ctrl+F)", "", [](Fixture& f) { return f.window->findBar()->isVisible() && !f.window->findBar()->replaceShown(); }},
    {"Find & Replace (Ctrl+Alt+F)", "", [](Fixture& f) { return f.window->findBar()->replaceShown(); }},
    {"Check spelling & grammar now", "", [](Fixture&) { return SpellingPanel::instance() && SpellingPanel::instance()->isVisible(); }},
    {"Correct spelling automatically while typing", "", [](Fixture&) { return !Spelling::autocorrectInWordProcessor(); }},
    {"Print (Ctrl+P)", "", [](Fixture&) { return answers->printPanels == 1; }},
    {"Export as PDF", "", [](Fixture&) { return QFileInfo(answers->pdf).size() > 0; }},
};

} // namespace

class TestToolbar : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyControlRunsItsCommand_data();
    void everyControlRunsItsCommand();
    void familiesListedOnce_data();
    void familiesListedOnce();
    void fitsTheWindow_data();
    void fitsTheWindow();
    void followsTheSelection_data();
    void followsTheSelection();
    void pickersAct();
    void autocorrectButtonFlipsTheSetting();
    void marginPresets_data();
    void marginPresets();
    void fixedPickersAreAsHighAsAnyCombo_data();
    void fixedPickersAreAsHighAsAnyCombo();
};

void TestToolbar::everyControlRunsItsCommand_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(kPresses)); ++i) {
        const QString name = QString::fromUtf8(kPresses[i].control)
            + (*kPresses[i].item ? QStringLiteral(" \u25B8 ") + QString::fromUtf8(kPresses[i].item) : QString());
        QTest::newRow(qPrintable(name)) << i;
    }
}

// Each control pressed once, with "bold" selected in a paragraph indented
// by 36 points, reaches the command it stands for.
void TestToolbar::everyControlRunsItsCommand()
{
    QFETCH(int, row);
    const Press& press = kPresses[row];
    Answers panels;
    answers = &panels;
    SettingsStore::settings().remove(Spelling::autocorrectKey);
    WPWindowController::applyAutocorrectToAll();
    Fixture f;
    {
        QTextCursor c(f.doc.storage());
        QTextBlockFormat indented;
        indented.setLeftMargin(WPText::toPixels(36));
        c.setBlockFormat(indented);
    }
    if (QByteArray(press.item).startsWith("Table Options")) {
        // With the caret in a table every control of the panel works.
        QTextCursor end(f.doc.storage());
        end.movePosition(QTextCursor::End);
        QTextTable* table = WPInsert::insertTable(end, 2, 2);
        f.window->textView()->setTextCursor(table->cellAt(1, 1).firstCursorPosition());
    } else {
        f.select(4, 8);
    }
    QTRY_VERIFY(!f.window->state()->suppressColorEvents);

    const QString control = QString::fromUtf8(press.control);
    const QString item = QString::fromUtf8(press.item);
    if (control == QLatin1String("Font") || control == QLatin1String("Font size")) {
        QComboBox* box = nullptr;
        for (QComboBox* b : f.bar()->findChildren<QComboBox*>()) {
            if (b->toolTip() == control)
                box = b;
        }
        QVERIFY(box);
        const int index = box->findText(control == QLatin1String("Font") ? WPWindowController::families().first()
                                                                         : QStringLiteral("8"));
        QVERIFY(index >= 0);
        box->setCurrentIndex(index);
        Q_EMIT box->activated(index);
    } else if (control.endsWith(QLatin1String("color"))) {
        WPColorWell* well = nullptr;
        for (WPColorWell* w : f.bar()->findChildren<WPColorWell*>()) {
            if (w->toolTip() == control)
                well = w;
        }
        QVERIFY(well);
        QTimer::singleShot(0, this, [] {
            if (auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget())) {
                dialog->setCurrentColor(Qt::red);
                dialog->accept();
            }
        });
        QTest::mouseClick(well, Qt::LeftButton);
    } else {
        ChromeButton* button = f.bar()->button(control);
        for (ChromeButton* b : f.bar()->findChildren<ChromeButton*>()) {
            if (!button && b->text() == control)
                button = b;
        }
        QVERIFY2(button, qPrintable(control));
        if (item.isEmpty()) {
            QVERIFY(!button->menu());
            button->click();
        } else {
            QVERIFY(button->menu());
            QAction* chosen = nullptr;
            for (QAction* a : button->menu()->actions()) {
                if (shown(a->text()) == item)
                    chosen = a;
            }
            QVERIFY2(chosen, qPrintable(item));
            chosen->trigger();
        }
    }
    QApplication::processEvents();
    const bool ran = press.ran(f);
    if (SpellingPanel::instance())
        SpellingPanel::instance()->close();
    SettingsStore::settings().remove(Spelling::autocorrectKey);
    answers = nullptr;
    QVERIFY(ran);
}

void TestToolbar::familiesListedOnce_data()
{
    QTest::addColumn<QString>("listed");
    QTest::addColumn<QString>("family");
    QTest::newRow("foundry in capitals") << "Nimbus Sans [UKWN]" << "Nimbus Sans";
    QTest::newRow("foundry with a space") << "Nimbus Sans [URW ]" << "Nimbus Sans";
    QTest::newRow("foundry in lower case") << "Nimbus Sans [urw]" << "Nimbus Sans";
    QTest::newRow("no foundry") << "DejaVu Sans" << "DejaVu Sans";
    QTest::newRow("brackets inside the name") << "Font [Old] Style" << "Font [Old] Style";
    QTest::newRow("only brackets") << "[x]" << "[x]";
}

// A family made by several foundries is offered once, under its own name.
void TestToolbar::familiesListedOnce()
{
    QFETCH(QString, listed);
    QFETCH(QString, family);
    QCOMPARE(WPCommands::familyName(listed), family);
    const QStringList& families = WPWindowController::families();
    QCOMPARE(QSet<QString>(families.cbegin(), families.cend()).size(), families.size());
    for (const QString& f : families)
        QCOMPARE(WPCommands::familyName(f), f);
}

void TestToolbar::fitsTheWindow_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("narrowest window") << 760;
    QTest::newRow("a little wider") << 800;
    QTest::newRow("default") << 980;
}

// Every control shows whole, inside the bar, and none covers another.
void TestToolbar::fitsTheWindow()
{
    QFETCH(int, width);
    Fixture f;
    f.window->resize(width, f.window->height());
    QTRY_COMPARE(f.window->width(), width);
    QApplication::processEvents();
    const QString png = qEnvironmentVariable("BW_TOOLBAR_PNG");
    if (!png.isEmpty())
        f.bar()->grab().save(png.arg(width));
    QList<QWidget*> controls;
    for (QWidget* w : f.bar()->findChildren<QWidget*>()) {
        if (w->isVisible() && (qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w)
                               || qobject_cast<WPColorWell*>(w)))
            controls.append(w);
    }
    QCOMPARE(controls.size(), 28);
    const QRect bar = f.bar()->rect();
    QList<QRect> placed;
    for (QWidget* w : controls) {
        const QRect r(w->mapTo(f.bar(), QPoint(0, 0)), w->size());
        const QString name = w->toolTip().isEmpty() ? qobject_cast<QAbstractButton*>(w)
                                                          ? qobject_cast<QAbstractButton*>(w)->text()
                                                          : w->objectName()
                                                    : w->toolTip();
        QVERIFY2(bar.contains(r), qPrintable(name));
        QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(name));
        for (const QRect& other : std::as_const(placed))
            QVERIFY2(!other.intersects(r), qPrintable(name));
        placed.append(r);
    }
}

void TestToolbar::followsTheSelection_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("size");
    QTest::addColumn<bool>("extraFamily");
    QTest::addColumn<bool>("extraSize");
    QTest::addColumn<bool>("bold");
    QTest::newRow("unlisted family and size 13.5") << 0 << "No Such Family 123" << "13.5" << true << true << false;
    QTest::newRow("listed size, bold") << 5 << WPCommands::defaultFont().family() << "14" << false << false << true;
}

void TestToolbar::followsTheSelection()
{
    QFETCH(int, start);
    QFETCH(QString, family);
    QFETCH(QString, size);
    QFETCH(bool, extraFamily);
    QFETCH(bool, extraSize);
    QFETCH(bool, bold);
    Fixture f;
    f.select(5, 6);
    f.select(start, start + 2);
    QCOMPARE(f.bar()->shownFamily(), family);
    QCOMPARE(f.bar()->shownSize(), size);
    QCOMPARE(f.bar()->familyItems().first() == family && !WPWindowController::families().contains(family),
             extraFamily);
    QCOMPARE(f.bar()->sizeItems().size(), WPWindowController::fontSizes().size() + (extraSize ? 1 : 0));
    QCOMPARE(f.bar()->button(QStringLiteral("Bold (Ctrl+B)"))->isProminent(), bold);
    // Exactly one alignment button lit; natural alignment lights "Align left".
    QVERIFY(f.bar()->button(QStringLiteral("Align left"))->isProminent());
    QVERIFY(!f.bar()->button(QStringLiteral("Center"))->isProminent());
}

void TestToolbar::pickersAct()
{
    Fixture f;
    f.select(4, 8);
    f.bar()->button(QStringLiteral("Bold (Ctrl+B)"))->click();
    QVERIFY(!WPCommands::fontOf(WPCommands::formatAt(f.doc.storage(), 6)).bold());
    QVERIFY(!f.bar()->button(QStringLiteral("Bold (Ctrl+B)"))->isProminent());
    f.bar()->button(QStringLiteral("Center"))->click();
    QVERIFY(f.bar()->button(QStringLiteral("Center"))->isProminent());
    QVERIFY(!f.bar()->button(QStringLiteral("Align left"))->isProminent());
    QCOMPARE(WPToolbar::sizeText(10.5), QStringLiteral("10.5"));
    QCOMPARE(WPToolbar::sizeText(12), QStringLiteral("12"));
}

void TestToolbar::autocorrectButtonFlipsTheSetting()
{
    Fixture a;
    Fixture b;
    SettingsStore::settings().remove(Spelling::autocorrectKey);
    WPWindowController::applyAutocorrectToAll();
    ChromeButton* button = a.bar()->button(QStringLiteral("Correct spelling automatically while typing"));
    QCOMPARE(button->text(), QStringLiteral("Autocorrect On"));
    QVERIFY(button->isProminent());
    button->click();
    QVERIFY(!Spelling::autocorrectInWordProcessor());
    QCOMPARE(button->text(), QStringLiteral("Autocorrect Off"));
    QCOMPARE(b.bar()->button(QStringLiteral("Correct spelling automatically while typing"))->text(),
             QStringLiteral("Autocorrect Off"));
    QVERIFY(!b.window->state()->autocorrect());
    SettingsStore::settings().remove(Spelling::autocorrectKey);
}

void TestToolbar::marginPresets_data()
{
    QTest::addColumn<qreal>("topBottom");
    QTest::addColumn<qreal>("leftRight");
    QTest::newRow("Normal") << 72.0 << 72.0;
    QTest::newRow("Narrow") << 36.0 << 36.0;
    QTest::newRow("Moderate") << 72.0 << 54.0;
    QTest::newRow("Wide") << 72.0 << 144.0;
}

void TestToolbar::marginPresets()
{
    QFETCH(qreal, topBottom);
    QFETCH(qreal, leftRight);
    Fixture f;
    f.doc.storage()->setModified(false);
    f.window->setMargins(topBottom, leftRight);
    QCOMPARE(f.doc.pageSetup().topMargin, topBottom);
    QCOMPARE(f.doc.pageSetup().bottomMargin, topBottom);
    QCOMPARE(f.doc.pageSetup().leftMargin, leftRight);
    QCOMPARE(f.doc.pageSetup().rightMargin, leftRight);
    QVERIFY(f.doc.storage()->isModified());
    QCOMPARE(f.window->textView()->pageSetup(), f.doc.pageSetup());
}

// The font and size pickers skip measuring their entries: they stand as
// high as an ordinary combo of the same font and entries.
void TestToolbar::fixedPickersAreAsHighAsAnyCombo_data()
{
    QTest::addColumn<qreal>("size");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("small, families") << 11.0 << WPWindowController::families();
    QTest::newRow("small, sizes") << 11.0 << QStringList{QStringLiteral("8"), QStringLiteral("72")};
    QTest::newRow("large, empty") << 20.0 << QStringList();
}

void TestToolbar::fixedPickersAreAsHighAsAnyCombo()
{
    QFETCH(qreal, size);
    QFETCH(QStringList, entries);
    WPFixedCombo fixed(120);
    QComboBox plain;
    for (QComboBox* box : {static_cast<QComboBox*>(&fixed), &plain}) {
        box->setFont(Fonts::system(size));
        box->addItems(entries);
    }
    QCOMPARE(fixed.sizeHint().height(), plain.sizeHint().height());
    QCOMPARE(fixed.minimumSizeHint().height(), plain.minimumSizeHint().height());
    QCOMPARE(fixed.sizeHint().width(), 120);
}

QTEST_MAIN(TestToolbar)
#include "tst_editor_toolbar.moc"
