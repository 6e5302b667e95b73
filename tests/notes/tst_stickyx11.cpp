// Note windows on a real X server: the program is run twice under Xvfb, and
// the notes made, typed in, moved, resized, pinned and hidden in the first
// run come back in the second exactly as they were left.
#include "TestEnvironment.h"
#include "core/Store.h"
#include "core/Json.h"
#include "notes/StickyFrame.h"
#include "notes/StickyPalette.h"
#include "notes/StickyStore.h"
#include "notes/views/StickyLightWindow.h"
#include "ui/Chrome.h"
#include "notes/views/StickyNoteView.h"
#include "notes/views/StickyWindow.h"
#include "notes/views/StickyWindows.h"
#include "notes/views/StickyX11.h"
#include "ui/SpellTextView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {

constexpr int kNoDisplay = 77;
constexpr int kNoXdotool = 78;

QJsonObject describe(StickyStore& store, StickyWindows& windows)
{
    QJsonObject out;
    for (const StickyNote& n : store.notes()) {
        QJsonObject o{{QStringLiteral("text"), n.text},
                      {QStringLiteral("visible"), n.visible},
                      {QStringLiteral("onTop"), n.onTop},
                      {QStringLiteral("frame"), n.frame}};
        if (StickyWindow* w = windows.window(n.id); w && w->isVisible()) {
            const QRect g = w->geometry();
            o.insert(QStringLiteral("window"), QJsonArray{g.x(), g.y(), g.width(), g.height()});
            o.insert(QStringLiteral("windowOnTop"), w->isOnTop());
            o.insert(QStringLiteral("workspace"), w->workspace().value_or(-2));
            auto* view = qobject_cast<StickyNoteView*>(w->centralWidget());
            o.insert(QStringLiteral("editor"), view ? view->editor()->toPlainText() : QString());
        }
        out.insert(n.id.toString(QUuid::WithoutBraces), o);
    }
    return out;
}

bool writeJson(const QString& path, const QJsonObject& o)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(QJsonDocument(o).toJson()) > 0;
}

QJsonObject readJson(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object() : QJsonObject();
}

bool settle(StickyWindow* w)
{
    return w && QTest::qWaitForWindowExposed(w);
}

// The first run: three notes made and used, then the program quits.
int firstRun(const QString& exchange)
{
    StickyStore store;
    StickyWindows windows(store);
    const QUuid a = store.newNote(0, QString());
    const QUuid b = store.newNote(3, QString());
    const QUuid c = store.newNote(2, QStringLiteral("gamma"));
    for (const QUuid& id : {a, b, c}) {
        if (!settle(windows.window(id)))
            return 2;
    }
    auto* view = qobject_cast<StickyNoteView*>(windows.window(a)->centralWidget());
    QTest::keyClicks(view->editor(), QStringLiteral("alpha typed"));
    store.setText(b, QStringLiteral("beta"));
    windows.window(a)->move(150, 120);
    windows.window(b)->setGeometry(700, 400, 360, 280);
    QTest::qWait(300);
    store.setOnTop(b, true);
    QTest::qWait(300);
    windows.window(c)->close();
    QTest::qWait(300);
    QApplication::primaryScreen()->grabWindow(0).save(exchange + QStringLiteral("/first.png"));
    store.saveNow();
    QFile::copy(Store::path(StickyStore::fileName()), exchange + QStringLiteral("/stickies.json"));
    return writeJson(exchange + QStringLiteral("/first.json"), describe(store, windows)) ? 0 : 3;
}

// The second run: the notes restored at launch.
int secondRun(const QString& exchange)
{
    QFile::remove(Store::path(StickyStore::fileName()));
    if (!QFile::copy(exchange + QStringLiteral("/stickies.json"), Store::path(StickyStore::fileName())))
        return 4;
    // The window the user is working in when the notes come back.
    QWidget current;
    current.setGeometry(900, 40, 200, 100);
    current.show();
    current.activateWindow();
    if (!QTest::qWaitForWindowActive(&current))
        return 5;
    StickyStore store;
    StickyWindows windows(store);
    store.restoreWindows();
    for (const StickyNote& n : store.notes()) {
        if (n.visible && !settle(windows.window(n.id)))
            return 2;
    }
    QTest::qWait(300);
    QApplication::primaryScreen()->grabWindow(0).save(exchange + QStringLiteral("/second.png"));
    QJsonObject out = describe(store, windows);
    out.insert(QStringLiteral("focusKept"), QApplication::activeWindow() == &current);
    return writeJson(exchange + QStringLiteral("/second.json"), out) ? 0 : 3;
}

// A window that will not close, so that a quit is given up.
class Refusing : public QWidget {
protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

// Notes with text come up at start as pictures the X server keeps, on every
// workspace, leaving the note's text and frame alone; the pointer coming
// over one brings the full window in its place. An empty note comes up
// ready to type. Returns 0, or the number of the first check that failed.
int lightRun()
{
    QList<StickyNote> notes;
    for (const char* text : {"picture one", "picture two", ""}) {
        StickyNote n = StickyNote::make(3, QString::fromUtf8(text));
        // Low on the screen, away from where the pointer starts (its middle).
        n.frame = StickyFrame::toText(QRectF(100 + notes.size() * 350, 20, 320, 300));
        notes.append(n);
    }
    if (!Store::save(Json::fromList(notes), StickyStore::fileName()))
        return 10;
    StickyStore store;
    StickyWindows windows(store);
    store.restoreWindows();
    StickyLightWindow* light = windows.lightWindow(notes[0].id);
    if (!light || !windows.lightWindow(notes[1].id) || windows.lightWindow(notes[2].id))
        return 11;
    if (!QTest::qWaitFor([light] { return light->isExposed(); }))
        return 12;
    QTest::qWait(200);
    // The X server draws the note's colour where nothing else is.
    const QImage shown = QApplication::primaryScreen()->grabWindow(0).toImage();
    const QColor sky = Chrome::toColor(StickyPalette::colors().at(3));
    const QPoint inside = light->geometry().bottomRight() - QPoint(10, 10);
    if (shown.pixel(inside) != sky.rgb())
        return 13;
    const QRect place = light->geometry();
    // The pointer comes over the first note: the full window takes its place.
    QCursor::setPos(place.center());
    for (int waited = 0; windows.lightWindow(notes[0].id) && waited < 5000; waited += 50)
        QTest::qWait(50);
    if (windows.lightWindow(notes[0].id))
        return 14;
    StickyWindow* full = windows.window(notes[0].id);
    if (!full || !QTest::qWaitForWindowExposed(full) || full->geometry() != place || full->workspace() != -1)
        return 15;
    QTest::qWait(300);
    if (store.note(notes[0].id)->frame != notes[0].frame || store.note(notes[0].id)->text != notes[0].text)
        return 16;
    // Hidden and shown again, still a picture; a pin keeps it one.
    store.hide(notes[1].id);
    store.setOnTop(notes[1].id, true);
    store.show(notes[1].id);
    StickyLightWindow* second = windows.lightWindow(notes[1].id);
    if (!second)
        return 17;
    if (!second->isVisible())
        return 18;
    if (!second->isOnTop())
        return 19;
    // A quit given up (another window refuses to close) leaves the picture
    // on screen as it was.
    Refusing other;
    other.setGeometry(1100, 50, 100, 80);
    other.show();
    if (!QTest::qWaitForWindowExposed(&other))
        return 20;
    QEvent quit(QEvent::Quit);
    QCoreApplication::sendEvent(qApp, &quit);
    if (quit.isAccepted() || windows.lightWindow(notes[1].id) != second)
        return 21;
    if (!second->isVisible() || !QTest::qWaitFor([second] { return second->isExposed(); }))
        return 22;
    QTest::qWait(200);
    const QImage after = QApplication::primaryScreen()->grabWindow(0).toImage();
    if (after.pixel(second->geometry().bottomRight() - QPoint(10, 10)) != sky.rgb())
        return 23;
    // The window manager's close (as from a task list) hides the note.
    xcb_connection_t* c = StickyX11::connection();
    const auto atom = [c](const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, quint16(qstrlen(name)), name), nullptr);
        const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return a;
    };
    xcb_client_message_event_t close{};
    close.response_type = XCB_CLIENT_MESSAGE;
    close.format = 32;
    close.window = second->winId();
    close.type = atom("WM_PROTOCOLS");
    close.data.data32[0] = atom("WM_DELETE_WINDOW");
    xcb_send_event(c, 0, second->winId(), XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&close));
    xcb_flush(c);
    if (!QTest::qWaitFor([&] { return !store.note(notes[1].id)->visible; }))
        return 24;
    if (windows.lightWindow(notes[1].id) != second || second->isVisible())
        return 25;
    return 0;
}

// Notes restored as pictures, then clicked and typed into at once, as a
// user does (xdotool sends what a mouse and keyboard would).
int clickRun(const QString& keys)
{
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty())
        return kNoXdotool;
    StickyNote n = StickyNote::make(1, QStringLiteral("picture"));
    n.frame = StickyFrame::toText(QRectF(100, 20, 320, 300));
    if (!Store::save(Json::fromList(QList<StickyNote>{n}), StickyStore::fileName()))
        return 30;
    StickyStore store;
    StickyWindows windows(store);
    store.restoreWindows();
    StickyLightWindow* light = windows.lightWindow(n.id);
    if (!light || !QTest::qWaitFor([light] { return light->isExposed(); }))
        return 31;
    QTest::qWait(200);
    // Below the text: the caret goes to its end.
    const QPoint at = light->geometry().center();
    QStringList args{QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                     QStringLiteral("click"), QStringLiteral("1")};
    args += keys.split(QLatin1Char(' '));
    QProcess input;
    input.start(xdotool, args);
    if (!QTest::qWaitFor([&input] { return input.state() == QProcess::NotRunning; }, 10000))
        return 32;
    QTest::qWait(500);
    std::printf("note text: %s\n", qPrintable(store.note(n.id)->text));
    return 0;
}

int runChild(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return kNoDisplay;
    const QString phase = QString::fromLocal8Bit(argv[2]);
    const QString exchange = QString::fromLocal8Bit(argv[3]);
    if (phase == QLatin1String("light"))
        return lightRun();
    if (phase == QLatin1String("click"))
        return clickRun(QString::fromLocal8Bit(argv[4]));
    return phase == QLatin1String("first") ? firstRun(exchange) : secondRun(exchange);
}

} // namespace

class TstStickyX11 : public QObject {
    Q_OBJECT

    // Runs one phase in a fresh process on a fresh Xvfb server.
    int run(const QString& phase, const QString& exchange, const QString& extra = QString())
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(m_xvfb, {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1280x800x24"),
                         QCoreApplication::applicationFilePath(), QStringLiteral("--x11-child"), phase, exchange,
                         extra});
        if (!p.waitForFinished(120000)) {
            p.kill();
            p.waitForFinished();
            return -1;
        }
        m_output += p.readAll();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    QString m_xvfb;
    QByteArray m_output;

private Q_SLOTS:
    void notesKeepTheirPlaceAcrossARestart()
    {
        m_xvfb = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
        if (m_xvfb.isEmpty())
            QSKIP("xvfb-run is not installed");
        QTemporaryDir exchange;
        QVERIFY(exchange.isValid());
        const int first = run(QStringLiteral("first"), exchange.path());
        if (first == kNoDisplay)
            QSKIP("no X server could be started");
        QVERIFY2(first == 0, m_output.constData());
        QCOMPARE(run(QStringLiteral("second"), exchange.path()), 0);

        const QJsonObject before = readJson(exchange.path() + QStringLiteral("/first.json"));
        const QJsonObject after = readJson(exchange.path() + QStringLiteral("/second.json"));
        QCOMPARE(before.size(), 3);
        // Restored notes leave the keyboard with the window the user is in.
        QVERIFY(after.value(QStringLiteral("focusKept")).toBool());
        int shown = 0;
        for (auto it = before.begin(); it != before.end(); ++it) {
            const QJsonObject was = it.value().toObject();
            QVERIFY(after.contains(it.key()));
            QJsonObject now = after.value(it.key()).toObject();
            QCOMPARE(now.value(QStringLiteral("text")), was.value(QStringLiteral("text")));
            QCOMPARE(now.value(QStringLiteral("visible")), was.value(QStringLiteral("visible")));
            QCOMPARE(now.value(QStringLiteral("onTop")), was.value(QStringLiteral("onTop")));
            QCOMPARE(now.value(QStringLiteral("window")), was.value(QStringLiteral("window")));
            QCOMPARE(now.value(QStringLiteral("windowOnTop")), was.value(QStringLiteral("windowOnTop")));
            QCOMPARE(now.value(QStringLiteral("editor")), was.value(QStringLiteral("editor")));
            if (was.value(QStringLiteral("visible")).toBool()) {
                ++shown;
                // On every workspace, also after the pin re-made the window.
                QCOMPARE(was.value(QStringLiteral("workspace")).toInteger(), -1);
                QCOMPARE(now.value(QStringLiteral("workspace")).toInteger(), -1);
            }
        }
        QCOMPARE(shown, 2);
        // What the first run did, as the window system saw it.
        bool sawMoved = false, sawPinned = false;
        for (const QJsonValue& v : before) {
            const QJsonObject o = v.toObject();
            if (o.value(QStringLiteral("text")) == QStringLiteral("alpha typed")) {
                sawMoved = o.value(QStringLiteral("window")) == QJsonArray{150, 120, 320, 300};
                // 800 - 120 - 300 = 380 from the bottom of the screen.
                QCOMPARE(o.value(QStringLiteral("frame")).toString(), QStringLiteral("{{150, 380}, {320, 300}}"));
            }
            if (o.value(QStringLiteral("text")) == QStringLiteral("beta"))
                sawPinned = o.value(QStringLiteral("window")) == QJsonArray{700, 400, 360, 280}
                    && o.value(QStringLiteral("windowOnTop")).toBool();
        }
        QVERIFY(sawMoved);
        QVERIFY(sawPinned);
    }

    void notesComeUpAsPicturesUntilTouched()
    {
        m_xvfb = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
        if (m_xvfb.isEmpty())
            QSKIP("xvfb-run is not installed");
        QTemporaryDir exchange;
        const int result = run(QStringLiteral("light"), exchange.path());
        if (result == kNoDisplay)
            QSKIP("no X server could be started");
        QVERIFY2(result == 0, qPrintable(QStringLiteral("check %1 failed\n").arg(result) + QString::fromLocal8Bit(m_output)));
    }

    void theFirstClickOnAPictureIsAClick_data()
    {
        // What is typed right after the click, and the note's text after.
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::newRow("typing") << QStringLiteral("type --delay 20 ab") << QStringLiteral("pictureab");
        QTest::newRow("a shortcut, then typing")
            << QStringLiteral("key ctrl+a type --delay 20 new") << QStringLiteral("new");
    }
    void theFirstClickOnAPictureIsAClick()
    {
        QFETCH(QString, keys);
        QFETCH(QString, text);
        m_xvfb = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
        if (m_xvfb.isEmpty())
            QSKIP("xvfb-run is not installed");
        QTemporaryDir exchange;
        m_output.clear();
        const int result = run(QStringLiteral("click"), exchange.path(), keys);
        if (result == kNoDisplay)
            QSKIP("no X server could be started");
        if (result == kNoXdotool)
            QSKIP("xdotool is not installed");
        QVERIFY2(result == 0, qPrintable(QStringLiteral("check %1 failed\n").arg(result) + QString::fromLocal8Bit(m_output)));
        QVERIFY2(m_output.contains("note text: " + text.toUtf8() + "\n"), m_output.constData());
    }
};

int main(int argc, char** argv)
{
    if (argc >= 5 && qstrcmp(argv[1], "--x11-child") == 0)
        return runChild(argc, argv);
    QApplication app(argc, argv);
    TstStickyX11 test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_stickyx11.moc"
