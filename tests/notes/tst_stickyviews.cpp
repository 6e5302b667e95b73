#include "TestEnvironment.h"
#include "core/Json.h"
#include "core/Store.h"
#include "notes/StickyFrame.h"
#include "notes/StickyStore.h"
#include "notes/views/StickyColorDot.h"
#include "notes/views/StickyManagerView.h"
#include "notes/views/StickyNoteCard.h"
#include "notes/views/StickyNoteView.h"
#include "notes/views/StickySymbolButton.h"
#include "notes/views/StickyWindow.h"
#include "notes/views/StickyWindows.h"
#include "ui/Alert.h"
#include "ui/ChromeButton.h"
#include "ui/Fonts.h"
#include "ui/SpellTextView.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QCloseEvent>
#include <QTest>
#include <QTimer>
#include <QToolTip>

namespace {

StickyScreens testScreens()
{
    StickyScreens s;
    s.primary = QRectF(0, 0, 1440, 900);
    s.mainVisible = QRectF(0, 30, 1440, 870);
    s.available = {s.mainVisible};
    return s;
}

// Answers alerts with `answer` and remembers what was asked.
struct AlertRecorder {
    explicit AlertRecorder(int answer)
    {
        previous = setAlertHandler([this, answer](const AlertRequest& r) {
            asked.append(r);
            return answer;
        });
    }
    ~AlertRecorder() { setAlertHandler(previous); }
    QList<AlertRequest> asked;
    AlertHandler previous;
};

// A store with its windows on the test screens.
struct Fixture {
    Fixture() : windows(store) { windows.setScreensOverride(testScreens()); }
    StickyStore store;
    StickyWindows windows;
};

int selectedDot(const QList<StickyColorDot*>& dots, qreal selectedWidth)
{
    int found = -1;
    for (int i = 0; i < dots.size(); ++i) {
        if (dots[i]->ringWidth() == selectedWidth)
            found = found == -1 ? i : -2;
    }
    return found;
}

} // namespace

// A tool window beside the notes: it closes, refuses to, or runs the event
// loop while closing.
class OtherWindow : public QWidget {
public:
    enum Kind { none, refuses, runsEvents };
    explicit OtherWindow(Kind kind) : m_kind(kind) {}

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (m_kind == refuses) {
            event->ignore();
            return;
        }
        if (m_kind == runsEvents) {
            QTimer::singleShot(0, [] {});
            QTest::qWait(20);
        }
        event->accept();
    }

private:
    Kind m_kind;
};

class TstStickyViews : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { TestEnvironment::clearDataFolder(); }

    void dotRings_data()
    {
        QTest::addColumn<qint64>("index");
        QTest::addColumn<int>("ringed"); // -1: none
        QTest::addColumn<int>("painted");
        QTest::newRow("lemon") << qint64(0) << 0 << 0;
        QTest::newRow("sky") << qint64(3) << 3 << 3;
        QTest::newRow("seven marks none, paints seafoam") << qint64(7) << -1 << 1;
        QTest::newRow("negative marks none, paints lemon") << qint64(-2) << -1 << 0;
    }

    void dotRings()
    {
        QFETCH(qint64, index);
        QFETCH(int, ringed);
        QFETCH(int, painted);
        Fixture f;
        const QUuid id = f.store.newNote(index, QStringLiteral("x"));
        StickyWindow* w = f.windows.window(id);
        QVERIFY(w);
        auto* view = qobject_cast<StickyNoteView*>(w->centralWidget());
        QVERIFY(view);
        QCOMPARE(selectedDot(view->dots(), 2), ringed);
        QCOMPARE(w->noteColor(), view->dots().at(painted)->fill());
        QCOMPARE(view->dots().at(3)->toolTip(), QStringLiteral("Sky"));
    }

    void headerButtons()
    {
        Fixture f;
        const QUuid id = f.store.newNote(3, QStringLiteral("x"));
        auto* view = qobject_cast<StickyNoteView*>(f.windows.window(id)->centralWidget());
        // The dot of the colour already chosen still sets (and saves) it.
        QSignalSpy changed(&f.store, &StickyStore::noteChanged);
        view->dots().at(3)->click();
        QCOMPARE(changed.count(), 1);
        view->dots().at(5)->click();
        QCOMPARE(f.store.note(id)->colorIndex, 5);
        QCOMPARE(selectedDot(view->dots(), 2), 5);
        // The plus button makes a note of the same colour, by the cascade.
        view->newButton()->click();
        QCOMPARE(f.store.notes().size(), 2);
        QCOMPARE(f.store.notes().last().colorIndex, 5);
        QCOMPARE(f.store.notes().last().frame, QStringLiteral("{{588, 287}, {320, 300}}"));
        // The pin.
        QCOMPARE(view->pinButton()->symbol(), QStringLiteral("pin"));
        QCOMPARE(view->pinButton()->toolTip(), QStringLiteral("Float on top of other windows"));
        view->pinButton()->click();
        QVERIFY(f.store.note(id)->onTop);
        QCOMPARE(view->pinButton()->symbol(), QStringLiteral("pin.fill"));
        QCOMPARE(view->pinButton()->toolTip(), QStringLiteral("Stop floating on top"));
    }

    void pinStatesApartAtAGlance_data()
    {
        // The header's symbols are drawn at 11 points; larger sizes too.
        QTest::addColumn<qreal>("points");
        QTest::newRow("11 pt") << 11.0;
        QTest::newRow("13 pt") << 13.0;
        QTest::newRow("17 pt") << 17.0;
    }
    void pinStatesApartAtAGlance()
    {
        QFETCH(qreal, points);
        // How much of the button the symbol covers: the empty pin is an
        // outline with the note showing through, the filled one solid.
        auto ink = [points](const QString& symbol) {
            StickySymbolButton b(symbol, points, QColor::fromRgbF(0, 0, 0, 0.6f));
            QImage image(b.size(), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            b.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
            if (!qEnvironmentVariableIsEmpty("BW_SNAPSHOT_DIR"))
                image.scaled(image.size() * 8).save(qEnvironmentVariable("BW_SNAPSHOT_DIR") + QLatin1Char('/') + symbol
                                                    + QString::number(points) + QStringLiteral(".png"));
            double sum = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    sum += qAlpha(image.pixel(x, y)) / 255.0;
            return sum;
        };
        const double empty = ink(QStringLiteral("pin")), filled = ink(QStringLiteral("pin.fill"));
        QVERIFY(empty > 0);
        QVERIFY2(empty < 0.75 * filled, qPrintable(QStringLiteral("%1 of %2").arg(empty).arg(filled)));
    }

    void deleteAsksOnlyForText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("empty: no question") << QString() << alertFirstButton + 1 << false << true;
        QTest::newRow("text, Cancel keeps it") << "keep" << alertFirstButton + 1 << true << false;
        QTest::newRow("text, Delete") << "drop" << alertFirstButton << true << true;
        QTest::newRow("only spaces count as text") << "  " << alertFirstButton + 1 << true << false;
    }

    void deleteAsksOnlyForText()
    {
        QFETCH(QString, text);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(bool, deleted);
        Fixture f;
        const QUuid id = f.store.newNote(0, text);
        auto* view = qobject_cast<StickyNoteView*>(f.windows.window(id)->centralWidget());
        AlertRecorder alerts(answer);
        view->deleteButton()->click();
        QCOMPARE(alerts.asked.size(), asked ? 1 : 0);
        if (asked) {
            const AlertRequest& r = alerts.asked.first();
            QCOMPARE(r.title, QStringLiteral("Delete this note?"));
            QCOMPARE(r.informative, QStringLiteral("This can’t be undone."));
            QCOMPARE(r.style, AlertStyle::Warning);
            QCOMPARE(r.buttons, (QStringList{"Delete", "Cancel"}));
        }
        QCOMPARE(f.store.index(id).has_value(), !deleted);
        QCOMPARE(f.windows.hasWindow(id), !deleted);
    }

    void typingReachesTheStoreWithoutMovingTheCaret()
    {
        Fixture f;
        const QUuid id = f.store.newNote(0, QString());
        StickyWindow* w = f.windows.window(id);
        auto* view = qobject_cast<StickyNoteView*>(w->centralWidget());
        SpellTextView* editor = view->editor();
        QCOMPARE(editor->font().family(), StickyNoteView::noteFont().family());
        editor->setFocus();
        QTest::keyClicks(editor, QStringLiteral("Hello"));
        QCOMPARE(f.store.note(id)->text, QStringLiteral("Hello"));
        QTextCursor c = editor->textCursor();
        c.setPosition(2);
        editor->setTextCursor(c);
        QTest::keyClicks(editor, QStringLiteral("XY"));
        QCOMPARE(f.store.note(id)->text, QStringLiteral("HeXYllo"));
        QCOMPARE(editor->textCursor().position(), 4);
        QVERIFY(f.store.isSavePending());
        // A change from elsewhere (the manager) reaches the editor.
        f.store.setText(id, QStringLiteral("replaced"));
        QCOMPARE(editor->toPlainText(), QStringLiteral("replaced"));
    }

    void windowFrameReachesTheStore()
    {
        Fixture f;
        const QUuid id = f.store.newNote(0, QString());
        StickyWindow* w = f.windows.window(id);
        // The cascade in the visible area below a 30-high top panel: stored
        // {{560, 315}, ...}, which is y = 900 - 315 - 300 on screen.
        QCOMPARE(w->geometry(), QRect(560, 285, 320, 300));
        QVERIFY(w->isVisible());
        QCOMPARE(w->minimumSize(), QSize(180, 140));
        w->setGeometry(100, 50, 400, 350);
        QTRY_COMPARE(f.store.note(id)->frame, QStringLiteral("{{100, 500}, {400, 350}}"));
    }

    void pinKeepsPlaceAndVisibility_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::newRow("shown") << true;
        QTest::newRow("hidden") << false;
    }

    void pinKeepsPlaceAndVisibility()
    {
        QFETCH(bool, shown);
        Fixture f;
        const QUuid id = f.store.newNote(0, QString());
        StickyWindow* w = f.windows.window(id);
        w->setGeometry(120, 80, 300, 260);
        QTRY_COMPARE(f.store.note(id)->frame, QStringLiteral("{{120, 560}, {300, 260}}"));
        if (!shown)
            f.store.hide(id);
        for (const bool on : {true, false, true}) {
            f.store.setOnTop(id, on);
            QCOMPARE(w->isOnTop(), on);
            QCOMPARE(w->geometry(), QRect(120, 80, 300, 260));
            QCOMPARE(w->isVisible(), shown);
        }
        QCoreApplication::processEvents();
        QCOMPARE(f.store.note(id)->frame, QStringLiteral("{{120, 560}, {300, 260}}"));
    }

    void closingHides_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::newRow("window system") << false;
        QTest::newRow("the note's close button") << true;
    }

    void closingHides()
    {
        QFETCH(bool, byButton);
        Fixture f;
        const QUuid id = f.store.newNote(0, QStringLiteral("stay"));
        StickyWindow* w = f.windows.window(id);
        auto* view = qobject_cast<StickyNoteView*>(w->centralWidget());
        // The close button sits in the room kept for the window's buttons.
        QVERIFY(view->closeButton()->geometry().right() < StickyNoteView::kWindowButtonsWidth + 8);
        if (byButton)
            view->closeButton()->click();
        else
            QVERIFY(!w->close());
        QVERIFY(!w->isVisible());
        QVERIFY(!f.store.note(id)->visible);
        QVERIFY(f.windows.hasWindow(id)); // kept for the next show
        f.store.show(id);
        QCOMPARE(f.windows.window(id), w);
        QVERIFY(w->isVisible());
        // A window of no note is not closed either, and touches nothing.
        StickyWindow bare;
        bare.show();
        QVERIFY(!bare.close());
        QCOMPARE(f.store.notes().size(), 1);
    }

    // The note comes up without the focus; its buttons explain themselves
    // on hover all the same.
    void helpOnHoverWithoutFocus_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("help");
        QTest::newRow("colour dot") << "dot" << "Cherry Pink";
        QTest::newRow("pin") << "pin" << "Float on top of other windows";
        QTest::newRow("plus") << "plus" << "New sticky note";
        QTest::newRow("trash") << "trash" << "Delete note";
        QTest::newRow("close") << "close" << "Close note (it stays in Sticky Notes)";
    }

    void helpOnHoverWithoutFocus()
    {
        QFETCH(QString, button);
        QFETCH(QString, help);
        // The window the user works in, away from the note.
        QWidget current;
        current.setGeometry(1100, 600, 200, 100);
        current.show();
        current.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&current));
        Fixture f;
        StickyWindow* w = f.windows.window(f.store.newNote(0, QStringLiteral("x")));
        QVERIFY(QTest::qWaitForWindowExposed(w));
        // The offscreen platform activates what it shows: the user's window
        // has the focus again, as a real desktop leaves it.
        current.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&current));
        QVERIFY(!w->isActiveWindow());
        auto* view = qobject_cast<StickyNoteView*>(w->centralWidget());
        const QHash<QString, QWidget*> buttons{{QStringLiteral("close"), view->closeButton()},
                                               {QStringLiteral("dot"), view->dots().at(2)},
                                               {QStringLiteral("pin"), view->pinButton()},
                                               {QStringLiteral("plus"), view->newButton()},
                                               {QStringLiteral("trash"), view->deleteButton()}};
        QWidget* target = buttons.value(button);
        QTest::mouseMove(target, QPoint(1, 1));
        QTest::mouseMove(target, target->rect().center());
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), help);
        QToolTip::hideText();
    }

    // Questions come up above every note, pinned ones included, and take
    // the focus from them.
    void dialogsAboveNotes_data()
    {
        QTest::addColumn<bool>("pinned");
        QTest::newRow("note") << false;
        QTest::newRow("pinned note") << true;
    }

    void dialogsAboveNotes()
    {
        QFETCH(bool, pinned);
        Fixture f;
        const QUuid id = f.store.newNote(0, QStringLiteral("keep"));
        f.store.setOnTop(id, pinned);
        StickyWindow* w = f.windows.window(id);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Brindleworks"), QStringLiteral("Delete this goal?"),
                        QMessageBox::Cancel);
        box.open();
        QVERIFY(box.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QTRY_VERIFY(box.isActiveWindow());
        box.reject();
    }

    // However long the note, its card shows the first lines in order, cut
    // at the card's bottom: nothing is drawn over the first line.
    void cardTextNeverOverprints_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("ten short lines") << "Milk\nEggs\nBread\nTea\nJam\nRice\nOats\nSoap\nSalt\nFish";
        QTest::newRow("one long paragraph") << QString(QStringLiteral("Call the garage about the brakes ").repeated(12));
        QTest::newRow("six lines exactly") << "Milk\nEggs\nBread\nTea\nJam\nRice";
    }

    void cardTextNeverOverprints()
    {
        QFETCH(QString, text);
        text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        Fixture f;
        const QString first = text.section(QLatin1Char('\n'), 0, 0).left(4);
        auto render = [&f](const QString& note) {
            StickyNoteCard card(f.store.newNote(0, note), f.store);
            card.setNote(*f.store.note(card.id()));
            card.resize(220, card.height());
            QImage image(card.size(), QImage::Format_ARGB32);
            image.fill(Qt::white);
            card.render(&image);
            return image;
        };
        const QImage full = render(text);
        const QImage alone = render(first);
        // The first word of the first line, down to its baseline.
        const QFontMetrics fm(Fonts::named(QStringLiteral("Marker Felt"), 13));
        const QRect band(0, 0, 14 + fm.horizontalAdvance(first), 12 + fm.ascent());
        QCOMPARE(full.copy(band), alone.copy(band));
    }

    // A note whose stored frame puts the header above the screen comes up
    // with the header on screen; its stored frame changes only when it moves.
    void headerComesOnScreen()
    {
        StickyNote n = StickyNote::make(0, QStringLiteral("up high"));
        n.frame = QStringLiteral("{{300, 750}, {320, 300}}"); // top at y = -150
        QVERIFY(Store::save(Json::fromList(QList<StickyNote>{n}), StickyStore::fileName()));
        Fixture f;
        f.store.restoreWindows();
        StickyWindow* w = f.windows.window(n.id);
        QVERIFY(w);
        QCOMPARE(w->geometry(), QRect(300, 30, 320, 300)); // below the 30-high panel
        QTest::qWait(50);
        QCOMPARE(f.store.note(n.id)->frame, n.frame);
        w->move(310, 30);
        QTRY_COMPARE(f.store.note(n.id)->frame, QStringLiteral("{{310, 570}, {320, 300}}"));
    }

    void countLine_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("line");
        QTest::newRow("none") << 0 << "0 notes • saved automatically";
        QTest::newRow("one") << 1 << "1 note • saved automatically";
        QTest::newRow("two") << 2 << "2 notes • saved automatically";
        QTest::newRow("eleven") << 11 << "11 notes • saved automatically";
    }

    void countLine()
    {
        QFETCH(int, count);
        QFETCH(QString, line);
        Fixture f;
        for (int i = 0; i < count; ++i)
            f.store.newNote(i, QString());
        StickyManagerView m(f.store);
        QCOMPARE(m.countLabel()->text(), line);
        QCOMPARE(m.cards().size(), count);
        QCOMPARE(m.emptyLabel()->isVisibleTo(&m), count == 0);
        QCOMPARE(m.emptyLabel()->text(),
                 QStringLiteral("No notes yet. Click “New Sticky Note” — notes stay on your desktop, can be resized, and "
                                "come back every time you open Brindleworks."));
    }

    void managerCards()
    {
        Fixture f;
        const QUuid empty = f.store.newNote(3, QString());
        const QUuid spaces = f.store.newNote(-1, QStringLiteral("   "));
        const QUuid text = f.store.newNote(8, QStringLiteral("Buy milk"));
        StickyManagerView m(f.store);
        m.resize(560, 460);
        m.show();
        QList<StickyNoteCard*> cards = m.cards();
        QCOMPARE(cards.size(), 3);
        QCOMPARE(cards[0]->id(), empty);
        QCOMPARE(cards[0]->shownText(), QStringLiteral("(empty note)"));
        QCOMPARE(cards[1]->shownText(), QStringLiteral("   "));
        QCOMPARE(cards[2]->shownText(), QStringLiteral("Buy milk"));
        QCOMPARE(cards[1]->color(), f.windows.window(spaces)->noteColor());
        QCOMPARE(cards[2]->color(), f.windows.window(text)->noteColor());
        for (StickyNoteCard* c : cards) {
            QCOMPARE(c->showButton()->text(), QStringLiteral("Bring Front"));
            QCOMPARE(c->opacity(), 1.0);
        }
        // Hide all: every card faded and labelled "Show", one write later.
        QTRY_VERIFY(!f.store.isSavePending());
        const int writes = f.store.writeCount();
        m.hideAllButton()->click();
        for (StickyNoteCard* c : m.cards()) {
            QCOMPARE(c->showButton()->text(), QStringLiteral("Show"));
            QCOMPARE(c->opacity(), 0.6);
        }
        for (const QUuid& id : {empty, spaces, text})
            QVERIFY(!f.windows.window(id)->isVisible());
        QTRY_VERIFY(!f.store.isSavePending());
        QCOMPARE(f.store.writeCount(), writes + 1);
        // A card's button shows its note.
        m.cards()[2]->showButton()->click();
        QVERIFY(f.windows.window(text)->isVisible());
        QCOMPARE(m.cards()[2]->showButton()->text(), QStringLiteral("Bring Front"));
        m.showAllButton()->click();
        for (const QUuid& id : {empty, spaces, text})
            QVERIFY(f.windows.window(id)->isVisible());
    }

    void showAllMakesWindowsOfNotesNeverShown()
    {
        StickyNote hidden = StickyNote::make(2, QStringLiteral("later"));
        hidden.visible = false;
        hidden.frame = QStringLiteral("{{300, 200}, {250, 180}}");
        QVERIFY(Store::save(Json::fromList(QList<StickyNote>{hidden}), StickyStore::fileName()));
        Fixture f;
        f.store.restoreWindows();
        QVERIFY(!f.windows.hasWindow(hidden.id));
        StickyManagerView m(f.store);
        m.showAllButton()->click();
        QVERIFY(f.windows.hasWindow(hidden.id));
        QCOMPARE(f.windows.window(hidden.id)->geometry(), QRect(300, 520, 250, 180));
    }

    void cardDeleteAlwaysAsks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("empty note, Cancel") << QString() << alertFirstButton + 1 << false;
        QTest::newRow("empty note, Delete") << QString() << alertFirstButton << true;
        QTest::newRow("text, Cancel") << "x" << alertFirstButton + 1 << false;
    }

    void cardDeleteAlwaysAsks()
    {
        QFETCH(QString, text);
        QFETCH(int, answer);
        QFETCH(bool, deleted);
        Fixture f;
        const QUuid id = f.store.newNote(0, text);
        StickyManagerView m(f.store);
        AlertRecorder alerts(answer);
        m.cards().first()->deleteButton()->click();
        QCOMPARE(alerts.asked.size(), 1);
        QCOMPARE(alerts.asked.first().title, QStringLiteral("Delete this note?"));
        QCOMPARE(f.store.index(id).has_value(), !deleted);
        QCOMPARE(m.cards().size(), deleted ? 0 : 1);
        QCOMPARE(m.countLabel()->text(), StickyManagerView::countLine(deleted ? 0 : 1));
    }

    void newStickyNoteUsesTheChosenColour()
    {
        Fixture f;
        StickyManagerView m(f.store);
        QCOMPARE(m.newColor(), 0);
        QCOMPARE(selectedDot(m.dots(), 2.5), 0);
        m.dots().at(4)->click();
        QCOMPARE(selectedDot(m.dots(), 2.5), 4);
        m.newButton()->click();
        QCOMPARE(f.store.notes().size(), 1);
        QCOMPARE(f.store.notes().first().colorIndex, 4);
        QVERIFY(f.windows.window(f.store.notes().first().id)->isVisible());
        QCOMPARE(m.cards().size(), 1);
        QVERIFY(!m.emptyLabel()->isVisibleTo(&m));
    }

    // A quit closes the note windows without hiding their notes; they come
    // back only when the quit is given up, however the other windows close.
    void quittingKeepsNotesOnScreenForTheNextStart_data()
    {
        QTest::addColumn<int>("other");
        QTest::addColumn<bool>("quits");
        QTest::newRow("notes only") << int(OtherWindow::none) << true;
        QTest::newRow("a window refuses") << int(OtherWindow::refuses) << false;
        // A recording being finished as its window closes runs events.
        QTest::newRow("a window runs events as it closes") << int(OtherWindow::runsEvents) << true;
    }

    void quittingKeepsNotesOnScreenForTheNextStart()
    {
        QFETCH(int, other);
        QFETCH(bool, quits);
        Fixture f;
        const QUuid a = f.store.newNote(0, QStringLiteral("a"));
        const QUuid b = f.store.newNote(1, QStringLiteral("b"));
        f.store.setOnTop(b, true);
        QTRY_VERIFY(!f.store.isSavePending());
        OtherWindow window{static_cast<OtherWindow::Kind>(other)};
        if (other != int(OtherWindow::none))
            window.show();
        QEvent quit(QEvent::Quit);
        QCoreApplication::sendEvent(qApp, &quit);
        QCOMPARE(quit.isAccepted(), quits);
        QCOMPARE(f.windows.window(a)->isVisible(), !quits);
        QCOMPARE(f.windows.window(b)->isVisible(), !quits);
        QVERIFY(f.store.note(a)->visible);
        QVERIFY(f.store.note(b)->visible);
        QVERIFY(!f.store.isSavePending());
        QVERIFY(!StickyWindow::isApplicationQuitting());
        // A close of the window system's own hides the note as before.
        f.store.show(a);
        QVERIFY(!f.windows.window(a)->close());
        QVERIFY(!f.store.note(a)->visible);
    }
};

QTEST_MAIN(TstStickyViews)
#include "tst_stickyviews.moc"
