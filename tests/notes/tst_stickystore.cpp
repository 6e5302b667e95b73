#include "TestEnvironment.h"
#include "core/Json.h"
#include "core/Store.h"
#include "core/StoreEvents.h"
#include "notes/StickyFrame.h"
#include "notes/StickyNote.h"
#include "notes/StickyPalette.h"
#include "notes/StickyStore.h"
#include "notes/StickyWindowHost.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

namespace {

// Records what the store asks of its windows, on screens the test chooses.
class FakeHost : public StickyWindowHost {
public:
    struct Window {
        QRectF frame;
        int color = 0;
        bool onTop = false;
        bool shown = false;
    };

    StickyScreens screens() const override { return m_screens; }
    bool hasWindow(const QUuid& id) const override { return windows.contains(id); }
    void makeWindow(const QUuid& id, const QRectF& frame, int shownColor, bool onTop) override
    {
        windows.insert(id, Window{frame, shownColor, onTop, true});
        ++made;
    }
    void orderFront(const QUuid& id) override { windows[id].shown = true; }
    void orderOut(const QUuid& id) override { windows[id].shown = false; }
    void setColor(const QUuid& id, int shownColor) override { windows[id].color = shownColor; }
    void setOnTop(const QUuid& id, bool onTop) override { windows[id].onTop = onTop; }
    void removeWindow(const QUuid& id) override { windows.remove(id); }

    StickyScreens m_screens;
    QHash<QUuid, Window> windows;
    int made = 0;
};

// One 1440 x 900 screen whose visible area is all of it.
StickyScreens singleScreen(const QRectF& area = QRectF(0, 0, 1440, 900), const QRectF& visible = QRectF())
{
    StickyScreens s;
    s.primary = area;
    s.mainVisible = visible.isNull() ? area : visible;
    s.available = {s.mainVisible};
    return s;
}

QByteArray readFile(const QString& name)
{
    QFile f(Store::path(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& name, const QByteArray& data)
{
    QFile f(Store::path(name));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

QJsonArray savedArray()
{
    return QJsonDocument::fromJson(readFile(StickyStore::fileName())).array();
}

QJsonObject validRecord()
{
    return QJsonObject{{QStringLiteral("id"), QStringLiteral("6F9619FF-8B86-D011-B42D-00C04FC964FF")},
                       {QStringLiteral("text"), QStringLiteral("hello")},
                       {QStringLiteral("colorIndex"), 2},
                       {QStringLiteral("frame"), QStringLiteral("{{10, 20}, {300, 200}}")},
                       {QStringLiteral("onTop"), false},
                       {QStringLiteral("visible"), true},
                       {QStringLiteral("created"), QStringLiteral("2026-03-14T09:05:00Z")},
                       {QStringLiteral("modified"), QStringLiteral("2026-03-14T10:00:00Z")}};
}

} // namespace

class TstStickyStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { TestEnvironment::clearDataFolder(); }

    // Repeated ids in the file: exact copies go, other notes get ids of
    // their own and keep their place; the user is told once, the file as it
    // was is kept aside and the repaired list written.
    void repeatedIdsRepaired_data()
    {
        QTest::addColumn<QStringList>("texts"); // one text per record, all with the same id
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("one note") << QStringList{"a"} << QStringList{"a"};
        QTest::newRow("an exact copy") << QStringList{"a", "a"} << QStringList{"a"};
        QTest::newRow("another note") << QStringList{"a", "b"} << QStringList{"a", "b"};
        QTest::newRow("copies and others") << QStringList{"a", "b", "a", "c", "b"} << QStringList{"a", "b", "c"};
    }

    void repeatedIdsRepaired()
    {
        QFETCH(QStringList, texts);
        QFETCH(QStringList, kept);
        QJsonArray file;
        for (const QString& t : texts) {
            QJsonObject o = validRecord();
            o.insert(QStringLiteral("text"), t);
            file.append(o);
        }
        writeFile(StickyStore::fileName(), QJsonDocument(file).toJson());
        const QString owner = StoreEvents::ownerOf(StickyStore::fileName());
        StoreEvents::shared().clear(owner);
        QSignalSpy told(&StoreEvents::shared(), &StoreEvents::problemAdded);
        const bool repeated = texts.size() > 1;
        {
            StickyStore store;
            QStringList texts;
            QSet<QUuid> ids;
            for (const StickyNote& n : store.notes()) {
                texts << n.text;
                ids.insert(n.id);
            }
            QCOMPARE(texts, kept);
            QCOMPARE(ids.size(), kept.size());
            QCOMPARE(store.note(QUuid(validRecord().value(QStringLiteral("id")).toString()))->text, kept.first());
            QCOMPARE(told.size(), repeated ? 1 : 0);
            const QStringList aside = QDir(Store::folder()).entryList({StickyStore::fileName() + ".unreadable-*"});
            QCOMPARE(aside.size(), repeated ? 1 : 0);
            QCOMPARE(savedArray().size(), repeated ? kept.size() : texts.size());
        }
        // Repaired once: the next start has nothing to say.
        StickyStore again;
        QCOMPARE(again.notes().size(), kept.size());
        QCOMPARE(told.size(), repeated ? 1 : 0);
        StoreEvents::shared().clear(owner);
    }

    void recordRoundTrip()
    {
        StickyNote n = StickyNote::make(-4, QStringLiteral("line one\nline \"two\" ✓"));
        n.frame = QStringLiteral("{{1.5, -20}, {320, 300}}");
        n.onTop = true;
        const QJsonObject o = n.toJson().toObject();
        QCOMPARE(o.keys(), (QStringList{"colorIndex", "created", "frame", "id", "modified", "onTop", "text", "visible"}));
        const QString id = o.value(QStringLiteral("id")).toString();
        QCOMPARE(id, id.toUpper());
        QCOMPARE(id.size(), 36);
        QVERIFY(!id.contains(QLatin1Char('{')));
        QVERIFY(o.value(QStringLiteral("colorIndex")).isDouble());
        QCOMPARE(o.value(QStringLiteral("colorIndex")).toInteger(), -4);
        QVERIFY(o.value(QStringLiteral("created")).toString().endsWith(QLatin1Char('Z')));
        QCOMPARE(o.value(QStringLiteral("created")).toString().size(), 20); // whole seconds
        // Through the file and back, equal in every field.
        QVERIFY(Store::save(Json::fromList(QList<StickyNote>{n}), StickyStore::fileName()));
        StickyStore s;
        QCOMPARE(s.notes(), QList<StickyNote>{n});
    }

    void strictReading_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QJsonValue>("value"); // undefined: the key is left out
        QTest::addColumn<bool>("loads");
        QTest::newRow("valid") << QString() << QJsonValue() << true;
        QTest::newRow("unknown key ignored") << "colour" << QJsonValue(QStringLiteral("red")) << true;
        QTest::newRow("negative colour") << "colorIndex" << QJsonValue(-7) << true;
        QTest::newRow("modified missing") << "modified" << QJsonValue(QJsonValue::Undefined) << false;
        QTest::newRow("frame missing") << "frame" << QJsonValue(QJsonValue::Undefined) << false;
        QTest::newRow("colour as text") << "colorIndex" << QJsonValue(QStringLiteral("2")) << false;
        QTest::newRow("colour fractional") << "colorIndex" << QJsonValue(1.5) << false;
        QTest::newRow("onTop as number") << "onTop" << QJsonValue(1) << false;
        QTest::newRow("visible null") << "visible" << QJsonValue(QJsonValue::Null) << false;
        QTest::newRow("bad uuid") << "id" << QJsonValue(QStringLiteral("note-1")) << false;
        QTest::newRow("date without zone") << "created" << QJsonValue(QStringLiteral("2026-03-14T09:05:00")) << false;
        QTest::newRow("text as array") << "text" << QJsonValue(QJsonArray{}) << false;
    }

    void strictReading()
    {
        QFETCH(QString, key);
        QFETCH(QJsonValue, value);
        QFETCH(bool, loads);
        QJsonObject bad = validRecord();
        if (!key.isEmpty()) {
            if (value.isUndefined())
                bad.remove(key);
            else
                bad.insert(key, value);
        }
        QJsonObject good = validRecord();
        good.insert(QStringLiteral("id"), QStringLiteral("0E4D4F1A-1111-4222-8333-944455556666"));
        // One bad record among good ones empties the whole list.
        writeFile(StickyStore::fileName(), QJsonDocument(QJsonArray{good, bad}).toJson());
        StickyStore s;
        QCOMPARE(s.notes().size(), loads ? 2 : 0);
        const QStringList kept = QDir(TestEnvironment::dataFolder())
                                     .entryList({StickyStore::fileName() + QStringLiteral(".unreadable-*")});
        QCOMPARE(kept.size(), loads ? 0 : 1);
    }

    void unreadableFileSurvivesTheNextWrite()
    {
        const QByteArray damaged = R"([{"id": "6F9619FF-8B86-D011-B42D-00C04FC964FF", "text": "keep me"}])";
        writeFile(StickyStore::fileName(), damaged);
        {
            StickyStore s;
            QVERIFY(s.notes().isEmpty());
            s.newNote(0, QStringLiteral("new"));
        }
        const QStringList kept = QDir(TestEnvironment::dataFolder())
                                     .entryList({StickyStore::fileName() + QStringLiteral(".unreadable-*")});
        QCOMPARE(kept.size(), 1);
        QFile f(TestEnvironment::dataFolder() + QLatin1Char('/') + kept.first());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), damaged);
        QCOMPARE(savedArray().size(), 1);
    }

    void frameText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRectF>("rect");
        QTest::newRow("plain") << "{{200, 300}, {320, 300}}" << QRectF(200, 300, 320, 300);
        QTest::newRow("shortest decimals") << "{{0.1, 2.675}, {320.3, 299.99}}" << QRectF(0.1, 2.675, 320.3, 299.99);
        QTest::newRow("fractions, negatives") << "{{-159.5, -119.5}, {320.25, 300}}" << QRectF(-159.5, -119.5, 320.25, 300);
        QTest::newRow("no spaces") << "{{1,2},{3,4}}" << QRectF(1, 2, 3, 4);
        QTest::newRow("exponent") << "{{1e2, 0}, {320, 300}}" << QRectF(100, 0, 320, 300);
        QTest::newRow("empty") << "" << QRectF();
        QTest::newRow("garbage") << "left of the window" << QRectF();
        QTest::newRow("short") << "{{10, 20}, {300}}" << QRectF(10, 20, 300, 0);
        QTest::newRow("absurd") << "{{1e300, 0}, {320, 300}}" << QRectF();
        QTest::newRow("overflowing") << "{{1e999, 0}, {320, 300}}" << QRectF();
    }

    void frameText()
    {
        QFETCH(QString, text);
        QFETCH(QRectF, rect);
        QCOMPARE(StickyFrame::fromText(text), rect);
        QCOMPARE(StickyFrame::fromText(StickyFrame::toText(rect)), rect);
    }

    void coordinates_data()
    {
        QTest::addColumn<QRectF>("primary");
        QTest::addColumn<QRectF>("stored");
        QTest::addColumn<QRectF>("window");
        QTest::newRow("origin screen") << QRectF(0, 0, 1440, 900) << QRectF(560, 330, 320, 300)
                                       << QRectF(560, 270, 320, 300);
        QTest::newRow("bottom-left corner") << QRectF(0, 0, 1440, 900) << QRectF(0, 0, 320, 300)
                                            << QRectF(0, 600, 320, 300);
        QTest::newRow("offset primary") << QRectF(1920, 200, 1280, 1024) << QRectF(10, 20, 300, 200)
                                        << QRectF(1930, 1004, 300, 200);
        QTest::newRow("above the primary") << QRectF(0, 0, 800, 600) << QRectF(0, 700, 300, 200)
                                           << QRectF(0, -300, 300, 200);
    }

    void coordinates()
    {
        QFETCH(QRectF, primary);
        QFETCH(QRectF, stored);
        QFETCH(QRectF, window);
        QCOMPARE(StickyFrame::toScreen(stored, primary), window);
        QCOMPARE(StickyFrame::fromScreen(window, primary), stored);
    }

    void cascade_data()
    {
        QTest::addColumn<QRectF>("visible"); // stored coordinates
        QTest::addColumn<int>("existing");
        QTest::addColumn<QRectF>("frame");
        const QRectF mac(0, 0, 1440, 900);
        QTest::newRow("first") << mac << 0 << QRectF(560, 330, 320, 300);
        QTest::newRow("second") << mac << 1 << QRectF(588, 302, 320, 300);
        QTest::newRow("eighth") << mac << 7 << QRectF(756, 134, 320, 300);
        QTest::newRow("ninth starts again") << mac << 8 << QRectF(560, 330, 320, 300);
        QTest::newRow("seventeenth") << mac << 16 << QRectF(560, 330, 320, 300);
        // Small screens: pushed inside, offsets kept where they fit.
        QTest::newRow("tiny screen") << QRectF(0, 0, 1, 1) << 0 << QRectF(0, -299, 320, 300);
        QTest::newRow("low screen keeps the header") << QRectF(0, 0, 800, 260) << 3 << QRectF(324, -40, 320, 300);
        QTest::newRow("narrow screen") << QRectF(0, 0, 400, 900) << 7 << QRectF(80, 134, 320, 300);
        QTest::newRow("offset visible area") << QRectF(100, 40, 640, 400) << 7 << QRectF(420, 40, 320, 300);
        QTest::newRow("fits exactly") << QRectF(0, 0, 320, 300) << 5 << QRectF(0, 0, 320, 300);
    }

    void cascade()
    {
        QFETCH(QRectF, visible);
        QFETCH(int, existing);
        QFETCH(QRectF, frame);
        const QRectF got = StickyFrame::cascade(visible, existing);
        QCOMPARE(got, frame);
        if (visible.width() >= 320 && visible.height() >= 300)
            QVERIFY(visible.contains(got));
    }

    void newNotesCascadeThroughTheStore()
    {
        FakeHost host;
        host.m_screens = singleScreen();
        StickyStore s;
        s.setWindowHost(&host);
        QStringList frames;
        for (int i = 0; i < 9; ++i)
            frames << s.note(s.newNote(i, QString()))->frame;
        QCOMPARE(frames.first(), QStringLiteral("{{560, 330}, {320, 300}}"));
        QCOMPARE(frames.at(1), QStringLiteral("{{588, 302}, {320, 300}}"));
        QCOMPARE(frames.at(7), QStringLiteral("{{756, 134}, {320, 300}}"));
        QCOMPARE(frames.at(8), frames.first());
        // The window of the first opens there, in window-system coordinates.
        QCOMPARE(host.windows.value(s.notes().first().id).frame, QRectF(560, 270, 320, 300));
        // Written at once, before any debounce.
        QCOMPARE(savedArray().size(), 9);
        // Without screens (no host) the frame stays empty.
        StickyStore bare;
        QCOMPARE(bare.note(bare.newNote(0, QString()))->frame, QString());
    }

    void placement_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QRectF>("window");
        QTest::addColumn<QRectF>("visible"); // null: the whole screen
        const QRectF fallback(200, 900 - 300 - 300, 320, 300);
        QTest::newRow("stored frame") << "{{40, 60}, {300, 200}}" << QRectF(40, 640, 300, 200) << QRectF();
        QTest::newRow("empty") << "" << fallback << QRectF();
        QTest::newRow("unparsable") << "nowhere" << fallback << QRectF();
        QTest::newRow("too narrow") << "{{40, 60}, {159, 200}}" << fallback << QRectF();
        QTest::newRow("too low") << "{{40, 60}, {300, 119}}" << fallback << QRectF();
        QTest::newRow("smallest allowed") << "{{40, 60}, {160, 120}}" << QRectF(40, 720, 160, 120) << QRectF();
        QTest::newRow("removed monitor on the right") << "{{2000, 60}, {300, 200}}" << fallback << QRectF();
        QTest::newRow("far below") << "{{40, -5000}, {300, 200}}" << fallback << QRectF();
        QTest::newRow("mostly off, still grabbable") << "{{1400, 60}, {300, 200}}" << QRectF(1400, 640, 300, 200) << QRectF();
        QTest::newRow("only a sliver on screen") << "{{1430, 60}, {300, 200}}" << fallback << QRectF();
        // The header is what moves the window: it comes on screen, by no
        // more than it takes.
        QTest::newRow("header above the screen") << "{{40, 800}, {300, 200}}" << QRectF(40, 0, 300, 200) << QRectF();
        QTest::newRow("header just on screen") << "{{40, 700}, {300, 200}}" << QRectF(40, 0, 300, 200) << QRectF();
        QTest::newRow("taller than the screen") << "{{40, -100}, {300, 1200}}" << QRectF(40, 0, 300, 1200) << QRectF();
        QTest::newRow("header at the bottom edge") << "{{40, -170}, {300, 200}}" << QRectF(40, 870, 300, 200) << QRectF();
        QTest::newRow("header under the top panel") << "{{40, 680}, {300, 200}}" << QRectF(40, 40, 300, 200) << QRectF(0, 40, 1440, 860);
    }

    void placement()
    {
        QFETCH(QString, stored);
        QFETCH(QRectF, window);
        QFETCH(QRectF, visible);
        QCOMPARE(StickyFrame::placement(stored, singleScreen(QRectF(0, 0, 1440, 900), visible)), window);
    }

    void showHideAndRestore()
    {
        FakeHost host;
        host.m_screens = singleScreen();
        StickyNote a = StickyNote::make(7, QStringLiteral("a"));
        a.frame = QStringLiteral("{{40, 60}, {300, 200}}");
        a.onTop = true;
        StickyNote b = StickyNote::make(1, QStringLiteral("b"));
        b.visible = false;
        QVERIFY(Store::save(Json::fromList(QList<StickyNote>{a, b}), StickyStore::fileName()));
        StickyStore s;
        s.setWindowHost(&host);
        s.restoreWindows();
        QCOMPARE(host.made, 1); // the hidden note gets no window
        const FakeHost::Window w = host.windows.value(a.id);
        QCOMPARE(w.frame, QRectF(40, 640, 300, 200));
        QCOMPARE(w.color, 1); // 7 wraps round
        QVERIFY(w.onTop);
        // Showing again reuses the window; hiding keeps it.
        s.hide(a.id);
        QVERIFY(!host.windows.value(a.id).shown);
        QVERIFY(!s.note(a.id)->visible);
        s.show(a.id);
        QCOMPARE(host.made, 1);
        QVERIFY(host.windows.value(a.id).shown);
        s.show(b.id);
        QCOMPARE(host.made, 2);
        QCOMPARE(host.windows.value(b.id).frame, QRectF(200, 300, 320, 300));
        // Unknown ids change nothing.
        const QList<StickyNote> before = s.notes();
        const QUuid stranger = QUuid::createUuid();
        s.show(stranger);
        s.hide(stranger);
        s.setColor(stranger, 2);
        s.setOnTop(stranger, true);
        s.setText(stranger, QStringLiteral("x"));
        s.frameChanged(stranger, QRectF(1, 2, 300, 300));
        QCOMPARE(s.notes(), before);
        QCOMPARE(host.made, 2);
    }

    void colorRules_data()
    {
        QTest::addColumn<qint64>("index");
        QTest::addColumn<int>("shown");
        QTest::newRow("0") << qint64(0) << 0;
        QTest::newRow("5") << qint64(5) << 5;
        QTest::newRow("6 wraps") << qint64(6) << 0;
        QTest::newRow("7 wraps") << qint64(7) << 1;
        QTest::newRow("-2 shows 0") << qint64(-2) << 0;
        QTest::newRow("min") << std::numeric_limits<qint64>::min() << 0;
        QTest::newRow("max") << std::numeric_limits<qint64>::max() << int(std::numeric_limits<qint64>::max() % 6);
    }

    void colorRules()
    {
        QFETCH(qint64, index);
        QFETCH(int, shown);
        QCOMPARE(StickyPalette::shownIndex(index), shown);
        FakeHost host;
        host.m_screens = singleScreen();
        StickyStore s;
        s.setWindowHost(&host);
        const QUuid id = s.newNote(0, QStringLiteral("x"));
        const QDateTime modified = s.note(id)->modified;
        s.setColor(id, index);
        QCOMPARE(s.note(id)->colorIndex, index); // stored as given
        QCOMPARE(host.windows.value(id).color, shown);
        QCOMPARE(s.note(id)->modified, modified);
    }

    void deleteWritesEvenForUnknownIds()
    {
        StickyStore s;
        const QUuid kept = s.newNote(0, QStringLiteral("kept"));
        const QUuid gone = s.newNote(0, QStringLiteral("gone"));
        QFile::remove(Store::path(StickyStore::fileName()));
        s.deleteNote(QUuid::createUuid());
        QCOMPARE(savedArray().size(), 2);
        s.deleteNote(gone); // its window was never made
        QCOMPARE(savedArray().size(), 1);
        QCOMPARE(savedArray().first().toObject().value(QStringLiteral("id")).toString(), Json::fromUuid(kept));
        QVERIFY(!s.isSavePending());
    }

    void debounceWritesOnceWithTheLatestText()
    {
        StickyStore s;
        const QUuid id = s.newNote(0, QString());
        QTRY_VERIFY(!s.isSavePending());
        const int writes = s.writeCount();
        const QDateTime created = s.note(id)->created;
        for (const char* text : {"B", "Bu", "Buy", "Buy m", "Buy milk"}) {
            s.setText(id, QString::fromLatin1(text));
            QTest::qWait(50);
        }
        QCOMPARE(s.writeCount(), writes);
        QVERIFY(s.isSavePending());
        QTRY_COMPARE_WITH_TIMEOUT(s.writeCount(), writes + 1, 2000);
        QCOMPARE(savedArray().first().toObject().value(QStringLiteral("text")).toString(), QStringLiteral("Buy milk"));
        QVERIFY(s.note(id)->modified >= created);
        // The same text again: nothing changes, nothing is written.
        QSignalSpy published(&s, &StickyStore::notesChanged);
        const QDateTime modified = s.note(id)->modified;
        s.setText(id, QStringLiteral("Buy milk"));
        QCOMPARE(published.count(), 0);
        QVERIFY(!s.isSavePending());
        QCOMPARE(s.note(id)->modified, modified);
    }

    void quitWritesOnlyWhatChanged_data()
    {
        QTest::addColumn<bool>("edit");
        QTest::addColumn<bool>("writeFails");
        QTest::newRow("nothing changed") << false << false;
        QTest::newRow("a note added") << true << false;
        QTest::newRow("the last write failed") << true << true;
    }
    // Quitting while the backup of an unreadable file was not restored (the
    // question dismissed by the session's end) leaves the file alone unless
    // the notes changed; a change whose write failed is tried again.
    void quitWritesOnlyWhatChanged()
    {
        QFETCH(bool, edit);
        QFETCH(bool, writeFails);
        const QByteArray damaged = "[{\"id\": \"6F9619FF-8B86-D011-B42D-00C04FC964FF\", \"text\": \"cut sh";
        writeFile(StickyStore::fileName(), damaged);
        writeFile(StickyStore::fileName() + QStringLiteral(".bak"), "[]");
        Store::setRestoreQuestion([](const QString&, const QString&) { return false; });
        StickyStore s;
        Store::setRestoreQuestion(nullptr);
        QVERIFY(s.notes().isEmpty());
        if (edit) {
            if (writeFails)
                Store::setWriteFault([](const QString&) { return QStringLiteral("No space left on device"); });
            s.newNote(0, QStringLiteral("new"));
            Store::setWriteFault(nullptr);
        }
        QVERIFY(s.saveIfChanged());
        QFile f(Store::path(StickyStore::fileName()));
        QVERIFY(f.open(QIODevice::ReadOnly));
        if (edit)
            QCOMPARE(savedArray().size(), 1);
        else
            QCOMPARE(f.readAll(), damaged);
        const int writes = s.writeCount();
        QVERIFY(s.saveIfChanged());
        QCOMPARE(s.writeCount(), writes);
    }

    void quitSavesImmediately()
    {
        StickyStore s;
        const QUuid id = s.newNote(0, QString());
        s.setText(id, QStringLiteral("typed just before quitting"));
        QVERIFY(s.isSavePending());
        const int writes = s.writeCount();
        QVERIFY(s.saveNow());
        QCOMPARE(s.writeCount(), writes + 1);
        QVERIFY(!s.isSavePending()); // the pending write is not repeated
        QCOMPARE(savedArray().first().toObject().value(QStringLiteral("text")).toString(),
                 QStringLiteral("typed just before quitting"));
    }
};

QTEST_GUILESS_MAIN(TstStickyStore)
#include "tst_stickystore.moc"
