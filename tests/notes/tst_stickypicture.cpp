// Pictures of notes, which light windows show until the pointer comes over
// them, must be the note's full window to the pixel: the full window takes
// the picture's place without anything moving.
#include "TestEnvironment.h"
#include "notes/StickyStore.h"
#include "notes/views/StickyNotePicture.h"
#include "notes/views/StickyWindow.h"
#include "notes/views/StickyWindows.h"

#include <QApplication>
#include <QTest>

namespace {

// Pixels that differ between two pictures of one size.
int differing(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return -1;
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    }
    return count;
}

} // namespace

class TstStickyPicture : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { TestEnvironment::clearDataFolder(); }

    void pictureIsTheWindow_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("color");
        QTest::addColumn<bool>("onTop");
        QTest::addColumn<QSize>("size");
        // Whether the text is plain enough to be drawn without the editor.
        QTest::addColumn<bool>("alone");
        // Whether the text fits the note without scrolling.
        QTest::addColumn<bool>("fits");
        const QSize note(320, 300);
        QTest::newRow("one line") << QStringLiteral("Buy milk") << 0 << false << note << true << true;
        QTest::newRow("paragraphs") << QStringLiteral("First thing\nsecond thing\n\nafter a blank line") << 3
                                    << false << note << true << true;
        QTest::newRow("wrapped") << QStringLiteral("Note 12: remember the thing about the other thing before the "
                                                   "meeting on Thursday afternoon")
                                 << 1 << true << note << true << true;
        // At the smallest width the header squeezes; an address is a word
        // the speller may mark, which the editor then underlines.
        QTest::newRow("word wider than the note")
            << QStringLiteral("https://example.com/a/very/long/address/that/never/breaks/at/a/space") << 2 << false
            << QSize(200, 160) << false << true;
        QTest::newRow("ends with a new line") << QStringLiteral("last line\n") << 4 << false << note << true << true;
        QTest::newRow("right to left") << QStringLiteral("שלום עולם") << 5 << false << note << false << true;
        QTest::newRow("accents and symbols") << QStringLiteral("Café ☕ naïve — 3½ × 2") << 0 << false << note
                                             << false << true;
        QTest::newRow("tab") << QStringLiteral("a\tb") << 0 << false << note << false << true;
        QTest::newRow("more than fits") << QStringLiteral("line\n").repeated(30) << 0 << false << note << false << false;
        QTest::newRow("about full") << QStringLiteral("line\n").repeated(9) << 1 << false << QSize(180, 200) << false << false;
    }

    void pictureIsTheWindow()
    {
        QFETCH(QString, text);
        QFETCH(int, color);
        QFETCH(bool, onTop);
        QFETCH(QSize, size);
        QFETCH(bool, alone);
        QFETCH(bool, fits);
        StickyStore store;
        StickyWindows windows(store);
        const QUuid id = store.newNote(color, text);
        store.setOnTop(id, onTop);
        StickyWindow* window = windows.window(id);
        window->resize(size);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTest::qWait(100);
        // Notes come up without the focus, so with no caret.
        if (QWidget* focus = QApplication::focusWidget())
            focus->clearFocus();
        QImage full(size, QImage::Format_RGB32);
        window->render(&full);

        StickyNotePicture picture(store);
        // The first picture of a size is drawn by the note view; later ones
        // by themselves where the text allows.
        const QImage first = picture.draw(id, size);
        if (!fits) {
            // Its window scrolls the text: no picture can stand for it.
            QVERIFY(first.isNull());
            QVERIFY(picture.draw(id, size).isNull());
            return;
        }
        QCOMPARE(differing(first, full), 0);
        QVERIFY(!picture.drewTextAlone());
        const QImage again = picture.draw(id, size);
        QCOMPARE(differing(again, full), 0);
        if (alone)
            QVERIFY(picture.drewTextAlone());
        // The header is the one rows of the same key share.
        QCOMPARE(picture.headerKey().isEmpty(), false);
        QVERIFY(picture.headerRows() > 0 && picture.headerRows() < size.height() / 2);
    }
};

QTEST_MAIN(TstStickyPicture)
#include "tst_stickypicture.moc"
