#include "core/SettingsStore.h"
#include "ui/ChromeButton.h"
#include "core/Spelling.h"
#include "wordproc/WPCommands.h"
#include "wordproc/WPDocument.h"
#include "wordproc/WPState.h"
#include "wordproc/views/PageTextView.h"
#include "wordproc/views/WPToolbar.h"
#include "wordproc/views/WPWindowController.h"

#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
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

} // namespace

class TestToolbar : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void followsTheSelection_data();
    void followsTheSelection();
    void pickersAct();
    void autocorrectButtonFlipsTheSetting();
    void marginPresets_data();
    void marginPresets();
};

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

QTEST_MAIN(TestToolbar)
#include "tst_editor_toolbar.moc"
