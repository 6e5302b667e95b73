#include "TestEnvironment.h"
#include "ui/SpellTextView.h"
#include "wordproc/views/PageTextView.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QScrollArea>
#include <QTest>
#include <QTextDocument>
#include <functional>
#include <memory>

namespace {

// The protected mime-data entry points, opened up for the empty payload.
struct PageProbe : PageTextView {
    using PageTextView::canInsertFromMimeData;
    using PageTextView::insertFromMimeData;
};
struct SpellProbe : SpellTextView {
    SpellProbe() : SpellTextView(QStringLiteral("kept"), QFont(), Qt::white, true, Qt::black, true) {}
    using SpellTextView::canInsertFromMimeData;
    using SpellTextView::insertFromMimeData;
};

} // namespace

// Pasting when nothing is on the clipboard. Run on X11 (under Xvfb) with no
// clipboard owner this is the path that crashed Qt's own paste; elsewhere
// it checks the same guard with an empty payload.
class EmptyClipboardTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pasteWithNothingToPaste_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("how");
        for (const char* field : {"page text", "spell text"}) {
            QTest::addRow("%s, Ctrl+V, clipboard without owner", field) << field << QStringLiteral("clipboard");
            QTest::addRow("%s, empty payload", field) << field << QStringLiteral("payload");
        }
    }
    void pasteWithNothingToPaste()
    {
        QFETCH(QString, field);
        QFETCH(QString, how);
        QTextDocument storage;
        std::unique_ptr<QWidget> owner;
        QWidget* editor = nullptr;
        std::function<bool(const QMimeData*)> canInsert;
        std::function<void(const QMimeData*)> insert;
        if (field == QLatin1String("page text")) {
            auto* page = new PageProbe;
            owner.reset(page->scrollArea());
            page->setStorage(&storage);
            storage.setPlainText(QStringLiteral("kept"));
            editor = page;
            canInsert = [page](const QMimeData* m) { return page->canInsertFromMimeData(m); };
            insert = [page](const QMimeData* m) { page->insertFromMimeData(m); };
        } else {
            auto* plain = new SpellProbe;
            owner.reset(plain);
            editor = plain;
            canInsert = [plain](const QMimeData* m) { return plain->canInsertFromMimeData(m); };
            insert = [plain](const QMimeData* m) { plain->insertFromMimeData(m); };
        }
        owner->show();
        editor->setFocus();
        QVERIFY(QTest::qWaitForWindowExposed(owner.get()));
        if (how == QLatin1String("clipboard")) {
            // Give the clipboard up: on X11 nobody owns it afterwards.
            QGuiApplication::clipboard()->clear();
            QTest::qWait(50);
            QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
        } else {
            const QMimeData empty;
            QVERIFY(!canInsert(&empty));
            QVERIFY(!canInsert(nullptr));
            insert(&empty);
            insert(nullptr);
        }
        const QString text = field == QLatin1String("page text") ? storage.toPlainText()
                                                                  : static_cast<SpellTextView*>(editor)->text();
        QCOMPARE(text, QStringLiteral("kept"));
    }
};

QTEST_MAIN(EmptyClipboardTest)
#include "tst_emptyclipboard.moc"
