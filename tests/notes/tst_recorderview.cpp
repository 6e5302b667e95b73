#include "PrivatePulse.h"
#include "RecorderFixtures.h"
#include "TestEnvironment.h"
#include "notes/RecorderListModel.h"
#include "notes/RecorderModel.h"
#include "notes/views/NoteRow.h"
#include "notes/views/NoteRowDelegate.h"
#include "notes/views/NoteRowBoxes.h"
#include "notes/views/NoteRowMenu.h"
#include "notes/views/NoteRowTexts.h"
#include "notes/views/RecorderButton.h"
#include "notes/views/RecorderLevelMeter.h"
#include "notes/views/RecorderView.h"
#include "ui/Alert.h"
#include "ui/ChromeButton.h"
#include "ui/FileReveal.h"
#include "ui/Fonts.h"
#include "ui/SpellLineEdit.h"
#include "ui/SpellTextView.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPaintEvent>
#include <QVBoxLayout>
#include <QListView>
#include <QScrollBar>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextLayout>
#include <QToolButton>
#include <cmath>

using namespace RecorderFixtures;

class RecorderViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { m_pulseError = m_pulse.start(); }
    void cleanupTestCase() { m_pulse.stop(); }
    void init() { clearAll(); }

    void emptyWindowSaysHowToStart()
    {
        RecorderView v;
        v.resize(520, 560);
        v.show();
        QVERIFY(v.emptyLabel()->isVisible());
        QCOMPARE(v.emptyLabel()->text(), QStringLiteral("No recordings yet — press the red button to start."));
        // The hint wraps only where the list is narrower than its line.
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        const QFontMetrics metrics(v.emptyLabel()->font());
        QVERIFY(v.emptyLabel()->width() >= metrics.horizontalAdvance(v.emptyLabel()->text()));
        QCOMPARE(v.statusLabel()->text(), QStringLiteral("Voice notes are saved as .m4a on this computer."));
        QCOMPARE(v.stateLabel()->text(), QStringLiteral("Ready to record"));
        QVERIFY(!v.recordButton()->isRecording());
        QCOMPARE(v.recordButton()->toolTip(), QStringLiteral("Start recording (Ctrl+R)"));
        QCOMPARE(v.recordButton()->accessibleName(), QStringLiteral("Start recording"));
    }

    void rowsShowTheirNotes()
    {
        QVERIFY(writeAudio(QStringLiteral("a.m4a")));
        QVERIFY(writeAudio(QStringLiteral("b.m4a")));
        const VoiceNote a = makeNote(QStringLiteral("Lecture"), QStringLiteral("a.m4a"), QString(), 65.9);
        const VoiceNote b = makeNote(QStringLiteral("Idea"), QStringLiteral("b.m4a"), QStringLiteral("Buy milk."), 3725);
        const VoiceNote c = makeNote(QStringLiteral("Lost"), QStringLiteral("gone.m4a"));
        QVERIFY(saveNotes({a, b, c}));
        RecorderView v;
        v.resize(520, 700);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        QVERIFY(!v.emptyLabel()->isVisible());
        QCOMPARE(v.listModel()->rowCount(), 3);
        QVERIFY(!v.openRow());
        // Drawn rows: no editor for a row without transcript, a short one
        // for a transcript; the note without its file says so.
        const int line = v.rowRect(a.id).height();
        QCOMPARE(v.rowRect(b.id).height(), line + 6 + NoteRow::kCollapsedEditor);
        const NoteRowDelegate::Layout la = v.delegate()->layout(v.rowRect(a.id), a, false);
        QVERIFY(!la.editor.isValid() && !la.missing.isValid());
        QVERIFY(v.delegate()->layout(v.rowRect(c.id), c, false).missing.isValid());
        QVERIFY(v.delegate()->layout(v.rowRect(b.id), b, false).duration.width()
                > v.delegate()->layout(v.rowRect(a.id), a, false).duration.width());
        // The play button of a drawn row plays without opening the row.
        QTest::mouseClick(v.list()->viewport(), Qt::LeftButton, {},
                          v.delegate()->layout(v.rowRect(c.id), c, false).play.center());
        QVERIFY(v.model()->status().startsWith(QStringLiteral("Can’t play: ")));
        QCOMPARE(v.delegate()->toolTipAt(v.rowRect(c.id), c,
                                         v.delegate()->layout(v.rowRect(c.id), c, false).play.center()),
                 QStringLiteral("Play"));
        QVERIFY(v.selected().isNull());
        // A click into the title of a drawn row opens it in place, tall,
        // with the caret in its title.
        QTest::mouseClick(v.list()->viewport(), Qt::LeftButton, {}, la.title.center());
        QCOMPARE(v.selected(), a.id);
        NoteRow* row = v.row(a.id);
        QVERIFY(row);
        QVERIFY(row->isExpanded());
        QCOMPARE(row->titleField()->text(), QStringLiteral("Lecture"));
        QTRY_VERIFY(row->titleField()->hasFocus());
        QCOMPARE(row->durationLabel()->text(), QStringLiteral("1:05"));
        QCOMPARE(row->titleField()->placeholderText(), QStringLiteral("Title"));
        QCOMPARE(row->playButton()->toolTip(), QStringLiteral("Play"));
        QCOMPARE(row->playButton()->symbol(), QStringLiteral("play.fill"));
        QVERIFY(row->transcriptEditor()->isVisible());
        QTRY_COMPARE(row->transcriptEditor()->parentWidget()->height(), NoteRow::kExpandedEditor);
        QVERIFY(row->transcriptPlaceholder()->isVisible());
        QCOMPARE(row->transcriptPlaceholder()->text(),
                 QStringLiteral("Transcript (type notes here or choose Transcribe)"));
        // The open row fills the place the list gives it.
        QTRY_COMPARE(v.rowRect(a.id).height(), line + 6 + NoteRow::kExpandedEditor);
        QCOMPARE(row->geometry(), v.rowRect(a.id));
        // Another row takes the selection; the first is drawn again.
        QTest::mouseClick(v.list()->viewport(), Qt::LeftButton, {}, v.rowRect(c.id).center());
        QCOMPARE(v.selected(), c.id);
        QVERIFY(!v.row(a.id));
        QTRY_COMPARE(v.rowRect(a.id).height(), line);
        QVERIFY(v.row(c.id)->missingLabel()->isVisible());
    }

    void aClickReachesTheFieldItLandedOn_data()
    {
        // Which row is open first (none, or the one above, tall), the part
        // of the row below that is clicked, and whether that row has a
        // transcript (a short box drawn) or not.
        QTest::addColumn<bool>("aboveOpen");
        QTest::addColumn<QString>("part");
        QTest::addColumn<bool>("withTranscript");
        QTest::newRow("title, nothing open") << false << QStringLiteral("title") << true;
        QTest::newRow("title, row above open") << true << QStringLiteral("title") << true;
        QTest::newRow("title without transcript, row above open") << true << QStringLiteral("title") << false;
        QTest::newRow("transcript, row above open") << true << QStringLiteral("transcript") << true;
        QTest::newRow("transcript, nothing open") << false << QStringLiteral("transcript") << true;
    }
    void aClickReachesTheFieldItLandedOn()
    {
        QFETCH(bool, aboveOpen);
        QFETCH(QString, part);
        QFETCH(bool, withTranscript);
        QVERIFY(writeAudio(QStringLiteral("a.m4a")));
        QVERIFY(writeAudio(QStringLiteral("b.m4a")));
        const VoiceNote above = makeNote(QStringLiteral("Above"), QStringLiteral("a.m4a"), QStringLiteral("First words."));
        const QString words = withTranscript ? QStringLiteral("Second words.") : QString();
        const VoiceNote below = makeNote(QStringLiteral("Below"), QStringLiteral("b.m4a"), words);
        QVERIFY(saveNotes({above, below}));
        RecorderView v;
        v.resize(520, 700);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        if (aboveOpen) {
            QTest::mouseClick(v.list()->viewport(), Qt::LeftButton, {},
                              v.delegate()->layout(v.rowRect(above.id), above, false).title.center());
            QCOMPARE(v.selected(), above.id);
            QTRY_COMPARE(v.rowRect(above.id).height(), v.row(above.id)->sizeHint().height());
        }
        // The click lands where the row below is drawn now; opening it closes
        // the row above, and the rows move up under the pointer.
        const NoteRowDelegate::Layout drawn = v.delegate()->layout(v.rowRect(below.id), below, false);
        const QRect target = part == QLatin1String("title") ? drawn.title : drawn.editor;
        QVERIFY(target.isValid());
        QTest::mouseClick(v.list()->viewport(), Qt::LeftButton, {}, target.center());
        QCOMPARE(v.selected(), below.id);
        NoteRow* row = v.row(below.id);
        QVERIFY(row);
        QWidget* wanted = part == QLatin1String("title") ? static_cast<QWidget*>(row->titleField())
                                                         : static_cast<QWidget*>(row->transcriptEditor());
        QTRY_VERIFY(wanted->hasFocus());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("V"));
        const VoiceNote saved = Store::loadList<VoiceNote>(RecorderModel::fileName())->value(1);
        QCOMPARE(saved.id, below.id);
        if (part == QLatin1String("title")) {
            QVERIFY2(saved.title.contains(QLatin1Char('V')), qPrintable(saved.title));
            QCOMPARE(saved.transcript, words);
        } else {
            QCOMPARE(saved.title, QStringLiteral("Below"));
            QVERIFY2(saved.transcript.contains(QLatin1Char('V')), qPrintable(saved.transcript));
        }
        // The row above keeps its words.
        QCOMPARE(Store::loadList<VoiceNote>(RecorderModel::fileName())->value(0), above);
    }

    void theListScrollsInItsOwnPlace_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("none") << 0;
        QTest::newRow("twelve") << 12;
        QTest::newRow("four hundred") << 400;
    }
    void theListScrollsInItsOwnPlace()
    {
        QFETCH(int, count);
        QList<VoiceNote> notes;
        for (int i = 0; i < count; ++i)
            notes.append(makeNote(QStringLiteral("Note %1").arg(i), QStringLiteral("n%1.m4a").arg(i),
                                  i % 3 ? QString() : QStringLiteral("words")));
        QVERIFY(saveNotes(notes));
        RecorderView v;
        v.resize(520, 560);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        // The window never needs more room for more notes: a window that
        // scrolls the whole view would hide the list's end below its edge.
        QVERIFY2(v.minimumSizeHint().height() <= 300, qPrintable(QString::number(v.minimumSizeHint().height())));
        QCOMPARE(v.list()->verticalScrollBar()->maximum() > 0, count >= 12);
        const QString dir = qEnvironmentVariable("BW_SNAPSHOT_DIR");
        if (!dir.isEmpty())
            QVERIFY(v.grab().save(dir + QStringLiteral("/recorder-%1-notes.png").arg(count)));
        if (count > 0) {
            // The last note can be scrolled to and clicked open.
            const QUuid last = notes.last().id;
            v.list()->scrollToBottom();
            const QRect r = v.rowRect(last);
            QVERIFY(v.list()->viewport()->rect().contains(r.center()));
            QTest::mouseClick(v.list()->viewport(), Qt::LeftButton, {}, r.center());
            QCOMPARE(v.selected(), last);
        }
    }

    void drawnRowsFitTheRowWidget_data()
    {
        QTest::addColumn<QString>("transcript");
        QTest::addColumn<bool>("expanded");
        QTest::newRow("title only") << QString() << false;
        QTest::newRow("with a transcript") << QStringLiteral("Buy milk.") << false;
        QTest::newRow("open for editing") << QString() << true;
    }
    void drawnRowsFitTheRowWidget()
    {
        // Drawn rows take their measures from a row's first line alone; the
        // row widget opened in place must fill exactly the same place.
        QFETCH(QString, transcript);
        QFETCH(bool, expanded);
        QVERIFY(writeAudio(QStringLiteral("a.m4a")));
        const VoiceNote n = makeNote(QStringLiteral("Lecture"), QStringLiteral("a.m4a"), transcript);
        QVERIFY(saveNotes({n}));
        RecorderView v;
        NoteRow row(v.model(), n, expanded);
        QCOMPARE(v.delegate()->rowHeight(n, expanded), row.sizeHint().height());
        row.resize(500, row.sizeHint().height());
        row.layout()->activate();
        const NoteRowDelegate::Layout l = v.delegate()->layout(row.rect(), n, expanded);
        QCOMPARE(l.play, row.playButton()->geometry());
        // The "…" button sits centred in the line; its picture spans it.
        QCOMPARE(l.menu.left(), row.menuButton()->x());
        QCOMPARE(l.menu.width(), row.menuButton()->width());
    }

    void repeatedIdsOpenAndEveryNoteCanBeEdited()
    {
        // A file listing one id three times (the same note twice, and
        // another note) used to bring the window down as it opened.
        QVERIFY(writeAudio(QStringLiteral("a.m4a")));
        QVERIFY(writeAudio(QStringLiteral("b.m4a")));
        const VoiceNote a = makeNote(QStringLiteral("A"), QStringLiteral("a.m4a"));
        VoiceNote b = makeNote(QStringLiteral("B"), QStringLiteral("b.m4a"));
        b.id = a.id;
        QVERIFY(saveNotes({a, b, a}));
        RecorderView v;
        v.resize(520, 560);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        QCOMPARE(v.listModel()->rowCount(), 2);
        for (int r = 0; r < 2; ++r) {
            const VoiceNote n = v.listModel()->note(r);
            v.select(n.id);
            QCOMPARE(v.row(n.id)->titleField()->text(), n.title);
            QCOMPARE(v.rowRect(n.id), v.row(n.id)->geometry());
        }
    }

    void openingWritesNothing()
    {
        // Transcripts are spell-checked when shown; that is no edit.
        QList<VoiceNote> notes;
        for (int i = 0; i < 60; ++i)
            notes.append(makeNote(QStringLiteral("Note %1").arg(i), QStringLiteral("n%1.m4a").arg(i),
                                  QStringLiteral("Teh quick brwn fox %1").arg(i)));
        QVERIFY(saveNotes(notes));
        const QString path = Store::path(RecorderModel::fileName());
        QFile::remove(path + QStringLiteral(".bak"));
        QFile before(path);
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray bytes = before.readAll();
        const QDateTime stamp = QFileInfo(path).lastModified();
        RecorderView v;
        v.resize(520, 700);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        v.select(notes.at(1).id);
        QTest::qWait(800);
        QFile after(path);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), bytes);
        QCOMPARE(QFileInfo(path).lastModified(), stamp);
        QVERIFY(!QFile::exists(path + QStringLiteral(".bak")));
    }

    void menuItemsFollowTheTranscript_data()
    {
        QTest::addColumn<QString>("transcript");
        QTest::addColumn<QStringList>("items");
        const QString ex = QStringLiteral("Export .m4a…"), tr = QStringLiteral("Transcribe (on this computer)"),
                      sh = QStringLiteral("Show in Files"), cp = QStringLiteral("Copy Transcript"),
                      sep = QStringLiteral("—"), del = QStringLiteral("Delete…");
        QTest::newRow("no transcript") << QString() << QStringList{ex, tr, sh, sep, del};
        QTest::newRow("transcript") << QStringLiteral("words") << QStringList{ex, tr, sh, cp, sep, del};
    }
    void menuItemsFollowTheTranscript()
    {
        QFETCH(QString, transcript);
        QFETCH(QStringList, items);
        QVERIFY(writeAudio(QStringLiteral("a.m4a")));
        const VoiceNote n = makeNote(QStringLiteral("Note"), QStringLiteral("a.m4a"), transcript);
        QVERIFY(saveNotes({n}));
        RecorderView v;
        // The same menu for a drawn row and for the one open for editing.
        QMenu drawn;
        NoteRowMenu::fill(&drawn, v.model(), n);
        QStringList drawnItems;
        for (QAction* a : drawn.actions())
            drawnItems.append(a->isSeparator() ? QStringLiteral("—") : a->text());
        QCOMPARE(drawnItems, items);
        v.select(n.id);
        QCOMPARE(v.row(n.id)->menuItems(), items);
    }

    void menuActionsReachTheirTargets()
    {
        QVERIFY(writeAudio(QStringLiteral("a.m4a")));
        const VoiceNote n = makeNote(QStringLiteral("Note"), QStringLiteral("a.m4a"), QStringLiteral("Hello there."));
        QVERIFY(saveNotes({n}));
        RecorderView v;
        v.select(n.id);
        NoteRow* row = v.row(n.id);
        QStringList revealed;
        const FileReveal::Handler previous
            = FileReveal::setHandler([&revealed](const QString& p) { revealed.append(p); });
        auto trigger = [row](const QString& text) {
            for (QAction* a : row->menu()->actions()) {
                if (a->text() == text)
                    a->trigger();
            }
        };
        trigger(QStringLiteral("Show in Files"));
        FileReveal::setHandler(previous);
        QCOMPARE(revealed, QStringList{RecorderModel::pathOf(n)});
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        trigger(QStringLiteral("Copy Transcript"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Hello there."));
        QVERIFY(v.model()->status().isEmpty());
        // Delete asks through the application's alert.
        QStringList asked;
        const AlertHandler before = setAlertHandler([&asked](const AlertRequest& r) {
            asked.append(r.title);
            return alertFirstButton + 1;
        });
        trigger(QStringLiteral("Delete…"));
        setAlertHandler(before);
        QCOMPARE(asked, QStringList{QStringLiteral("Delete “Note”?")});
        QCOMPARE(v.listModel()->rowCount(), 1);
    }

    void typingRenamesAtEveryKeystroke()
    {
        QVERIFY(writeAudio(QStringLiteral("a.m4a")));
        const VoiceNote n = makeNote(QString(), QStringLiteral("a.m4a"));
        QVERIFY(saveNotes({n}));
        RecorderView v;
        v.show();
        v.select(n.id);
        NoteRow* row = v.row(n.id);
        row->titleField()->setFocus();
        QTest::keyClicks(row->titleField(), QStringLiteral("Bio"));
        auto saved = [] { return Store::loadList<VoiceNote>(RecorderModel::fileName())->value(0); };
        QCOMPARE(saved().title, QStringLiteral("Bio"));
        // The row is the same widget: the caret stays where it was.
        QCOMPARE(v.row(n.id), row);
        QCOMPARE(row->titleField()->cursorPosition(), 3);
        QTest::keyClicks(row->titleField(), QStringLiteral(" 101"));
        QCOMPARE(saved().title, QStringLiteral("Bio 101"));
        QTest::keyClick(row->titleField(), Qt::Key_Return);
        QCOMPARE(saved().title, QStringLiteral("Bio 101"));
        // The transcript editor writes through too.
        row->transcriptEditor()->setFocus();
        QTest::keyClicks(row->transcriptEditor(), QStringLiteral("cells"));
        QCOMPARE(saved().transcript, QStringLiteral("cells"));
        QVERIFY(!row->transcriptPlaceholder()->isVisible());
    }

    void ctrlRStartsAndStopsARecording()
    {
        if (!m_pulseError.isEmpty())
            QSKIP(qPrintable(QStringLiteral("no private sound server: ") + m_pulseError));
        QMainWindow window;
        auto* v = new RecorderView;
        window.setCentralWidget(v);
        window.resize(520, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);
        QVERIFY2(v->model()->recording(), qPrintable(v->model()->status()));
        QVERIFY(v->recordButton()->isRecording());
        QCOMPARE(v->recordButton()->discColor(), QColor::fromRgbF(0.78f, 0.07f, 0.16f));
        QCOMPARE(v->recordButton()->discInset(), 22.0);
        QCOMPARE(v->recordButton()->toolTip(), QStringLiteral("Stop recording (Ctrl+R)"));
        QCOMPARE(v->statusLabel()->text(), QStringLiteral("Recording…"));
        QTRY_VERIFY_WITH_TIMEOUT(v->model()->elapsed() >= 1.0, 5000);
        QVERIFY(v->stateLabel()->text().startsWith(QStringLiteral("Recording  0:0")));
        QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);
        QVERIFY(!v->model()->recording());
        QCOMPARE(v->listModel()->rowCount(), 1);
        QVERIFY(v->statusLabel()->text().startsWith(QStringLiteral("Saved Voice Note — ")));
        QCOMPARE(v->stateLabel()->text(), QStringLiteral("Ready to record"));
    }

    void closingTheWindowKeepsARunningRecording()
    {
        if (!m_pulseError.isEmpty())
            QSKIP(qPrintable(QStringLiteral("no private sound server: ") + m_pulseError));
        QMainWindow window;
        auto* v = new RecorderView;
        window.setCentralWidget(v);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy capturing(v->model(), &RecorderModel::capturing);
        v->toggleRecording();
        QVERIFY(v->model()->recording());
        // Sound has arrived (a recording without any is no note at all).
        QVERIFY(capturing.wait(5000) || capturing.count() > 0);
        window.close();
        QTest::qWait(300);
        QVERIFY(v->model()->recording());
        QVERIFY(!Store::loadList<VoiceNote>(RecorderModel::fileName()));
        // Reopened, the window shows it running.
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(v->recordButton()->isRecording());
        QVERIFY(v->stateLabel()->text().startsWith(QStringLiteral("Recording  0:0")));
        // Quitting stops and saves it.
        RecorderModel::finishAll();
        QVERIFY(!v->model()->recording());
        QCOMPARE(Store::loadList<VoiceNote>(RecorderModel::fileName()).value_or(QList<VoiceNote>()).size(), 1);
    }

    void drawsTheButtonAndMeterOfEachState_data()
    {
        QTest::addColumn<bool>("recording");
        QTest::newRow("idle") << false;
        QTest::newRow("recording") << true;
    }
    void drawsTheButtonAndMeterOfEachState()
    {
        QFETCH(bool, recording);
        RecorderButton button;
        button.setRecording(recording);
        const QImage img = button.grab().toImage();
        const QPoint centre(RecorderButton::kSide / 2, RecorderButton::kSide / 2);
        // The centre: white stop square while recording, else the red disc.
        QCOMPARE(img.pixelColor(centre).rgb(), recording ? QColor(Qt::white).rgb() : button.discColor().rgb());
        // Just inside the disc's edge on the idle inset: red only when idle.
        const QPoint nearEdge(RecorderButton::kSide / 2, int(RecorderButton::kIdleInset) + 3);
        QCOMPARE(img.pixelColor(nearEdge).rgb() == button.discColor().rgb(), !recording);
        // Between the square and the disc's edge while recording: cherry.
        const QPoint ring(RecorderButton::kSide / 2, int(RecorderButton::kRecordingInset) + 3);
        if (recording)
            QCOMPARE(img.pixelColor(ring).rgb(), QColor::fromRgbF(0.78f, 0.07f, 0.16f).rgb());

        RecorderLevelMeter meter;
        meter.resize(200, RecorderLevelMeter::kHeight);
        meter.setLevel(recording ? 0.5f : 0.0f);
        QCOMPARE(meter.barWidth(), recording ? 100.0 : 0.0);
        meter.setLevel(std::nanf(""));
        QCOMPARE(meter.barWidth(), 0.0);
        meter.setLevel(7.0f);
        QCOMPARE(meter.barWidth(), 200.0);
    }

    void keptTextsDrawAsDrawTextDoes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("face");
        QTest::addColumn<QRect>("box");
        QTest::addColumn<int>("flags");
        const int line = Qt::AlignLeft | Qt::AlignVCenter;
        QTest::newRow("title") << QStringLiteral("Lecture notes 12 — cell biology") << 0 << QRect(40, 3, 300, 28) << line;
        QTest::newRow("title clipped") << QStringLiteral("Lecture notes 12 — cell biology") << 0 << QRect(40, 7, 90, 13)
                                       << line;
        QTest::newRow("odd height") << QStringLiteral("Title") << 0 << QRect(3, 2, 200, 27) << line;
        QTest::newRow("duration") << QStringLiteral("10:05") << 1 << QRect(300, 4, 45, 28) << line;
        QTest::newRow("caption centred") << QStringLiteral("Transcript (type notes here or choose Transcribe)") << 2
                                         << QRect(10, 2, 380, 44) << int(Qt::AlignCenter);
        QTest::newRow("centred, too wide") << QStringLiteral("Transcript (type notes here or choose Transcribe)") << 2
                                           << QRect(10, 2, 120, 44) << int(Qt::AlignCenter);
        QTest::newRow("mixed scripts") << QStringLiteral("Notiz über Zellen — клетки 細胞 ✓") << 3 << QRect(5, 5, 380, 30)
                                       << line;
        QTest::newRow("line break (drawText's own)") << QStringLiteral("two\nlines") << 0 << QRect(5, 0, 200, 40) << line;
        QTest::newRow("tab") << QStringLiteral("a\tb") << 0 << QRect(5, 0, 200, 30) << line;
        QTest::newRow("empty") << QString() << 0 << QRect(5, 0, 200, 30) << line;
    }
    void keptTextsDrawAsDrawTextDoes()
    {
        // The rows' kept texts must look exactly as drawText draws them,
        // drawn first and drawn again from what was kept.
        QFETCH(QString, text);
        QFETCH(int, face);
        QFETCH(QRect, box);
        QFETCH(int, flags);
        const QList<QFont> faces{Fonts::system(13, QFont::DemiBold),
                                 Fonts::system(12, QFont::Normal, Fonts::Design::Monospaced),
                                 Fonts::style(Fonts::TextStyle::Caption), Fonts::system(12)};
        NoteRowTexts texts(faces);
        QWidget device; // the fonts resolved as on a widget
        auto picture = [&](const std::function<void(QPainter&)>& draw) {
            QImage img(400, 50, QImage::Format_ARGB32_Premultiplied);
            img.fill(Qt::white);
            QPainter p(&img);
            p.setPen(QColor::fromRgbF(0, 0, 0, 0.5f));
            draw(p);
            return img;
        };
        const QImage expected = picture([&](QPainter& p) {
            p.setFont(faces.at(face));
            p.drawText(box, flags, text);
        });
        for (int round = 0; round < 2; ++round) {
            const QImage kept = picture([&](QPainter& p) { texts.drawLine(&p, box, flags, text, face); });
            QCOMPARE(kept, expected);
        }
        // Widths and elisions as the font's metrics give them.
        const QFontMetrics fm(faces.at(face));
        QCOMPARE(texts.advance(text, face), fm.horizontalAdvance(text));
        QCOMPARE(texts.elided(text, face, box.width()), fm.elidedText(text, Qt::ElideRight, box.width()));
        QCOMPARE(texts.elided(text, face, box.width()), fm.elidedText(text, Qt::ElideRight, box.width()));
    }

    void keptBoxesLookAsDrawnOnes_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QColor>("rowFill");
        const QColor none;
        const QColor alternate(245, 245, 247);
        const QColor selected = QColor::fromRgbF(0.0f, 0.39f, 0.88f, 0.12f);
        for (const QImage::Format f : {QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB32}) {
            const QByteArray name = f == QImage::Format_RGB32 ? "opaque picture, " : "window picture, ";
            QTest::newRow(QByteArray(name + "plain row").constData()) << int(f) << none;
            QTest::newRow(QByteArray(name + "alternate row").constData()) << int(f) << alternate;
            QTest::newRow(QByteArray(name + "selected row").constData()) << int(f) << selected;
        }
    }
    void keptBoxesLookAsDrawnOnes()
    {
        // A transcript box copied from its kept picture must be the box
        // drawn in place, wherever it lands.
        QFETCH(int, format);
        QFETCH(QColor, rowFill);
        NoteRowBoxes boxes;
        auto picture = [&](bool kept) {
            QImage img(400, 200, QImage::Format(format));
            img.fill(Qt::white);
            QPainter p(&img);
            for (const QRect& rect : {QRect(10, 10, 380, 44), QRect(13, 97, 380, 44), QRect(0, 150, 120, 44)}) {
                if (rowFill.isValid())
                    p.fillRect(rect.adjusted(-3, -3, 3, 3), rowFill);
                if (kept)
                    boxes.draw(&p, rect, Qt::white, rowFill);
                else
                    NoteRowBoxes::paint(&p, rect);
            }
            return img;
        };
        const QImage drawn = picture(false);
        QCOMPARE(picture(true), drawn);
        QCOMPARE(picture(true), drawn);
    }

    void rowsGrabbedAtOnceGetTheirButtons()
    {
        // A window drawn before its event loop turned (grabbed as soon as it
        // is shown) pictures its rows' buttons then: a moment later it looks
        // as a window opened the usual way.
        QList<VoiceNote> notes;
        for (int i = 0; i < 5; ++i)
            notes.append(makeNote(QStringLiteral("Note %1").arg(i), QStringLiteral("n%1.m4a").arg(i)));
        QVERIFY(saveNotes(notes));
        auto picture = [](bool atOnce) {
            RecorderView v;
            v.resize(520, 560);
            v.show();
            if (atOnce)
                (void)v.grab();
            QTest::qWait(50);
            return v.grab().toImage();
        };
        QCOMPARE(picture(true), picture(false));
    }

    void longTranscriptsShowTheirFirstLines_data()
    {
        QTest::addColumn<QString>("text");
        const QString words = QStringLiteral("Membranes are selectively permeable and the fluid mosaic model explains it. ");
        QTest::newRow("short") << words;
        QTest::newRow("a few thousand words") << words.repeated(300);
        QTest::newRow("one endless word") << QStringLiteral("a").repeated(5000);
        QTest::newRow("words, then an endless one") << words.repeated(2) + QStringLiteral("b").repeated(4000);
        QTest::newRow("narrow letters") << QStringLiteral("il ").repeated(2000);
        QTest::newRow("lines of their own") << QStringLiteral("one\n").repeated(800);
    }
    void longTranscriptsShowTheirFirstLines()
    {
        // A long transcript is laid out only as far as its box reaches; the
        // lines shown are those of the whole text.
        QFETCH(QString, text);
        NoteRowTexts texts({Fonts::system(12)});
        const QRectF box(14, 41, 432, 32);
        QImage kept(460, 90, QImage::Format_ARGB32_Premultiplied);
        kept.fill(Qt::white);
        QImage whole = kept;
        {
            QPainter p(&kept);
            texts.drawWrapped(&p, box, text, 0);
        }
        {
            QTextLayout layout(text, Fonts::system(12));
            QTextOption option;
            option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            layout.setTextOption(option);
            layout.beginLayout();
            qreal y = 0;
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(box.width());
                if (y + line.height() > box.height() + 0.5) {
                    line.setNumColumns(0);
                    break;
                }
                line.setPosition(QPointF(0, y));
                y += line.height();
            }
            layout.endLayout();
            QPainter p(&whole);
            p.setClipRect(box);
            layout.draw(&p, box.topLeft());
        }
        QCOMPARE(kept, whole);
    }

    void theListsFocusRepaintsNothing()
    {
        // The rows show no focus: the window activated or a click into the
        // open row's field repaints no row. The first row is current (not
        // selected) when the keyboard brings the focus in, as in any list.
        QList<VoiceNote> notes;
        for (int i = 0; i < 20; ++i)
            notes.append(makeNote(QStringLiteral("Note %1").arg(i), QStringLiteral("n%1.m4a").arg(i),
                                  i % 2 ? QString() : QStringLiteral("words")));
        QVERIFY(saveNotes(notes));
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* before = new QLineEdit(&window);
        auto* v = new RecorderView(&window);
        layout->addWidget(before);
        layout->addWidget(v);
        window.resize(520, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        before->setFocus();
        QTRY_VERIFY(before->hasFocus());
        QTest::qWait(50);
        struct Painted : QObject {
            QRegion region;
            bool eventFilter(QObject*, QEvent* e) override
            {
                if (e->type() == QEvent::Paint)
                    region += static_cast<QPaintEvent*>(e)->region();
                return false;
            }
        } painted;
        v->list()->viewport()->installEventFilter(&painted);
        v->list()->setFocus(Qt::TabFocusReason);
        QTest::qWait(50);
        QVERIFY(v->list()->hasFocus());
        QCOMPARE(v->list()->currentIndex().row(), 0);
        QVERIFY(v->list()->selectionModel()->selectedIndexes().isEmpty());
        QVERIFY(v->selected().isNull());
        QVERIFY(painted.region.isEmpty());
        painted.region = QRegion();
        before->setFocus(Qt::MouseFocusReason);
        QTest::qWait(50);
        QVERIFY(painted.region.isEmpty());
        // Clicking a row still selects and opens it.
        const QRect r = v->rowRect(notes.at(3).id);
        QTest::mouseClick(v->list()->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(v->selected(), notes.at(3).id);
    }

    void snapshotOfABusyWindow()
    {
        // A picture to look at: selected row, playback, transcription.
        QVERIFY(writeAudio(QStringLiteral("a.m4a"), 3));
        QVERIFY(writeAudio(QStringLiteral("b.m4a"), 40));
        const VoiceNote a = makeNote(QStringLiteral("Lecture"), QStringLiteral("a.m4a"), QString(), 3);
        const VoiceNote b = makeNote(QStringLiteral("Idea"), QStringLiteral("b.m4a"), QStringLiteral("Buy milk."), 3);
        QVERIFY(saveNotes({a, b}));
        RecorderView v;
        v.resize(560, 620);
        v.show();
        v.select(a.id);
        v.model()->transcribe(b);
        // The drawn row of the note being transcribed turns its spinner.
        QVERIFY(v.delegate()->layout(v.rowRect(b.id), b, false).spinner.isValid());
        if (m_pulseError.isEmpty())
            v.model()->togglePlay(a);
        QTest::qWait(600);
        const QString dir = qEnvironmentVariable("BW_SNAPSHOT_DIR");
        if (!dir.isEmpty())
            QVERIFY(v.grab().save(dir + QStringLiteral("/recorder-busy.png")));
        QCOMPARE(v.row(a.id)->progressBar()->isVisible(), m_pulseError.isEmpty());
        // A window that goes away stops its playback.
        v.hide();
        QVERIFY(v.model()->playingID().isNull());
        v.model()->finish();
    }

private:
    PrivatePulse m_pulse;
    QString m_pulseError;
};

QTEST_MAIN(RecorderViewTest)
#include "tst_recorderview.moc"
