#include "RecorderFixtures.h"
#include "TestEnvironment.h"
#include "core/Store.h"
#include "core/StoreEvents.h"
#include "notes/RecorderModel.h"
#include "notes/RecorderNaming.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cmath>
#include <thread>

using namespace RecorderFixtures;

namespace {

QString statePath()
{
    return Store::path(RecorderModel::fileName());
}

// An .m4a cut off mid-recording at `path`, as a crash leaves it.
bool writeUnfinished(const QString& path)
{
    std::vector<qint16> s(size_t(44100 * 2.5));
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = qint16(2000 * std::sin(double(i) * 0.06));
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        AudioFileWriter w;
        _exit(w.open(path) && w.write(s.data(), qsizetype(s.size())) ? 0 : 1); // nothing finished
    }
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0
        && AudioFileWriter::isUnfinished(path);
}

QList<VoiceNote> savedNotes()
{
    return Store::loadList<VoiceNote>(RecorderModel::fileName()).value_or(QList<VoiceNote>());
}

QStringList trashed()
{
    const QString trash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Trash/files");
    return QDir(trash).entryList(QDir::Files);
}

} // namespace

class RecorderModelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        clearAll();
        // A fresh account: even the desktop's data folder (home of the trash)
        // does not exist yet.
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).removeRecursively();
    }

    void clock_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << QStringLiteral("0:00");
        QTest::newRow("just under a minute") << 59.99 << QStringLiteral("0:59");
        QTest::newRow("65.9") << 65.9 << QStringLiteral("1:05");
        QTest::newRow("ten minutes") << 600.0 << QStringLiteral("10:00");
        QTest::newRow("past an hour") << 3725.0 << QStringLiteral("62:05");
        QTest::newRow("negative") << -3.0 << QStringLiteral("0:00");
        QTest::newRow("not a number") << std::nan("") << QStringLiteral("0:00");
        QTest::newRow("absurd") << 1e300 << QStringLiteral("16666666666:40");
    }
    void clock()
    {
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QCOMPARE(RecorderModel::time(seconds), text);
    }

    void fileNamesNeverCollide_data()
    {
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("name");
        const QString base = QStringLiteral("Voice Note 2026-03-14 090507");
        QTest::newRow("free") << QStringList() << base + QStringLiteral(".m4a");
        QTest::newRow("same second") << QStringList{base + QStringLiteral(".m4a")} << base + QStringLiteral(" 2.m4a");
        QTest::newRow("third") << QStringList{base + QStringLiteral(".m4a"), base + QStringLiteral(" 2.m4a")}
                               << base + QStringLiteral(" 3.m4a");
    }
    void fileNamesNeverCollide()
    {
        QFETCH(QStringList, taken);
        QFETCH(QString, name);
        const QDateTime start(QDate(2026, 3, 14), QTime(9, 5, 7, 880));
        QCOMPARE(RecorderNaming::fileName(start, [&taken](const QString& n) { return taken.contains(n); }), name);
    }

    void titlesAndExportNames_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("slash and colon") << QStringLiteral("Talk 10:30 a/b") << QStringLiteral("Talk 10-30 a-b.m4a");
        QTest::newRow("empty") << QString() << QStringLiteral("Voice Note.m4a");
        // A dialog reads double quotes as a list of names: "draft" alone
        // would be written.
        QTest::newRow("double quotes") << QStringLiteral("Meeting \"draft\" notes")
                                       << QStringLiteral("Meeting 'draft' notes.m4a");
        QTest::newRow("refused characters") << QStringLiteral("a\\b*c?d<e>f|g") << QStringLiteral("a-b-c-d-e-f-g.m4a");
        QTest::newRow("no hidden file") << QStringLiteral("..plan") << QStringLiteral("plan.m4a");
        QTest::newRow("line breaks") << QStringLiteral("one\ntwo\t") << QStringLiteral("one two.m4a");
        QTest::newRow("dots only") << QStringLiteral(" ... ") << QStringLiteral("Voice Note.m4a");
        QTest::newRow("held to 255 bytes") << QString(200, QChar(0x00e9))
                                           << QString(125, QChar(0x00e9)) + QStringLiteral(".m4a");
        QTest::newRow("em dash kept") << QStringLiteral("Voice Note — Mar 14") << QStringLiteral("Voice Note — Mar 14.m4a");
    }
    void titlesAndExportNames()
    {
        QFETCH(QString, title);
        QFETCH(QString, proposed);
        QCOMPARE(RecorderNaming::exportName(title), proposed);
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const QString made = RecorderNaming::title(QDateTime(QDate(2026, 3, 14), QTime(21, 5)));
        QLocale::setDefault(before);
        QCOMPARE(made, QStringLiteral("Voice Note — Mar 14, 2026 at 9:05 PM").replace(QChar(0x202f), made.at(made.size() - 3)));
    }

    void titlesTakeTheLocalesDateAndTimeStyles_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("title");
        // The short time style has hours and minutes only, also where no
        // locale is set.
        QTest::newRow("no locale set") << QLocale::c() << QStringLiteral("Voice Note — Mar 14, 2026 at 21:05");
        QTest::newRow("British") << QLocale(QLocale::English, QLocale::UnitedKingdom)
                                 << QStringLiteral("Voice Note — 14 Mar 2026 at 21:05");
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany)
                                << QStringLiteral("Voice Note — 14.03.2026 at 21:05");
        QTest::newRow("American") << QLocale(QLocale::English, QLocale::UnitedStates)
                                  << QStringLiteral("Voice Note — Mar 14, 2026 at 9:05 PM");
    }
    void titlesTakeTheLocalesDateAndTimeStyles()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, title);
        const QLocale before;
        QLocale::setDefault(locale);
        QString made = RecorderNaming::title(QDateTime(QDate(2026, 3, 14), QTime(21, 5, 42)));
        QLocale::setDefault(before);
        // Newer locale data puts a narrow no-break space before "PM".
        made.replace(QChar(0x202f), QLatin1Char(' '));
        QCOMPARE(made, title);
    }

    void loadsTheListAsSaved()
    {
        QVERIFY(writeAudio(QStringLiteral("a.m4a")));
        QVERIFY(writeAudio(QStringLiteral("b.m4a")));
        const QList<VoiceNote> notes{makeNote(QStringLiteral("Newest"), QStringLiteral("b.m4a"), QStringLiteral("hi")),
                                     makeNote(QStringLiteral("Older"), QStringLiteral("a.m4a"))};
        QVERIFY(saveNotes(notes));
        RecorderModel m;
        QCOMPARE(m.notes(), notes);
        QVERIFY(m.status().isEmpty());
        QVERIFY(!m.recording());
        QCOMPARE(m.level(), 0.0f);
        QVERIFY(m.playingID().isNull());
        QVERIFY(m.transcribingID().isNull());
        QVERIFY(QFileInfo(RecorderModel::folder()).isDir());
    }

    void repeatedIdsAreMendedAndReportedOnce_data()
    {
        QTest::addColumn<bool>("sameNote");
        QTest::addColumn<int>("shown");
        QTest::newRow("the same note twice: one is left out") << true << 2;
        QTest::newRow("two notes, one id: both kept") << false << 3;
    }
    void repeatedIdsAreMendedAndReportedOnce()
    {
        QFETCH(bool, sameNote);
        QFETCH(int, shown);
        QVERIFY(writeAudio(QStringLiteral("a.m4a")));
        QVERIFY(writeAudio(QStringLiteral("b.m4a")));
        const VoiceNote a = makeNote(QStringLiteral("A"), QStringLiteral("a.m4a"));
        VoiceNote twin = makeNote(QStringLiteral("B"), QStringLiteral("b.m4a"));
        if (sameNote)
            twin = a;
        else
            twin.id = a.id;
        const VoiceNote other = makeNote(QStringLiteral("C"), QStringLiteral("a.m4a"));
        QVERIFY(saveNotes({a, other, twin}));
        const QByteArray bytes = fileBytes(statePath());
        StoreEvents::shared().clear(StoreEvents::ownerOf(RecorderModel::fileName()));
        int told = 0;
        const QMetaObject::Connection c
            = connect(&StoreEvents::shared(), &StoreEvents::problemAdded, this, [&told] { ++told; });
        RecorderModel m;
        disconnect(c);
        QCOMPARE(m.notes().size(), shown);
        QSet<QUuid> ids;
        for (const VoiceNote& n : m.notes())
            ids.insert(n.id);
        QCOMPARE(ids.size(), shown);
        QCOMPARE(m.notes().first(), a);
        // Said once, with the file as it was kept aside; the file itself
        // is not rewritten by opening.
        QCOMPARE(told, 1);
        const StoreEvents::Problem p = StoreEvents::shared().problems().constLast();
        QVERIFY2(p.reason.contains(sameNote ? QStringLiteral("left out") : QStringLiteral("new one")), qPrintable(p.reason));
        QCOMPARE(fileBytes(p.copy), bytes);
        QCOMPARE(fileBytes(statePath()), bytes);
        // The next change writes the mended list.
        m.rename(m.notes().last().id, QStringLiteral("renamed"));
        QCOMPARE(savedNotes().size(), shown);
    }

    void aDamagedListIsKeptAsideNotOverwritten_data()
    {
        QTest::addColumn<QByteArray>("element");
        QTest::newRow("missing transcript")
            << QByteArray(R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","title":"t","fileName":"a.m4a",)"
                          R"("created":"2026-03-14T09:05:00Z","duration":1})");
        QTest::newRow("duration as text")
            << QByteArray(R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","title":"t","fileName":"a.m4a",)"
                          R"("created":"2026-03-14T09:05:00Z","duration":"1","transcript":""})");
        QTest::newRow("file name leaving the folder")
            << QByteArray(R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","title":"t","fileName":"../../x",)"
                          R"("created":"2026-03-14T09:05:00Z","duration":1,"transcript":""})");
        QTest::newRow("negative duration")
            << QByteArray(R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","title":"t","fileName":"a.m4a",)"
                          R"("created":"2026-03-14T09:05:00Z","duration":-4,"transcript":""})");
        QTest::newRow("bad date")
            << QByteArray(R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","title":"t","fileName":"a.m4a",)"
                          R"("created":"yesterday","duration":1,"transcript":""})");
    }
    void aDamagedListIsKeptAsideNotOverwritten()
    {
        QFETCH(QByteArray, element);
        QVERIFY(writeAudio(QStringLiteral("good.m4a")));
        const VoiceNote good = makeNote(QStringLiteral("Good"), QStringLiteral("good.m4a"), QStringLiteral("words"));
        const QByteArray text = "[" + QJsonDocument(good.toJson().toObject()).toJson() + "," + element + "]";
        QFile f(statePath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
        f.close();
        RecorderModel m;
        // Its recording is listed again from the audio file alone.
        QCOMPARE(m.notes().size(), 1);
        QCOMPARE(m.notes().first().fileName, good.fileName);
        QVERIFY(m.notes().first().id != good.id);
        // The file that did not read is kept, byte for byte, before the next
        // save replaces it.
        const QStringList kept = QDir(Store::folder()).entryList({QStringLiteral("recordings.json.unreadable-*")});
        QCOMPARE(kept.size(), 1);
        QCOMPARE(fileBytes(Store::path(kept.first())), text);
        const QByteArray relisted = fileBytes(statePath());
        QVERIFY(writeAudio(QStringLiteral("new.m4a")));
        m.setTranscript(QUuid::createUuid(), QStringLiteral("ignored"));
        QCOMPARE(fileBytes(statePath()), relisted); // an unknown id writes nothing
    }

    void notesWithoutTheirAudioAreKept()
    {
        QVERIFY(writeAudio(QStringLiteral("here.m4a")));
        const VoiceNote here = makeNote(QStringLiteral("Here"), QStringLiteral("here.m4a"));
        const VoiceNote gone = makeNote(QStringLiteral("Gone"), QStringLiteral("gone.m4a"), QStringLiteral("keep me"));
        QVERIFY(saveNotes({gone, here}));
        RecorderModel m;
        QCOMPARE(m.notes().size(), 2);
        QVERIFY(!m.isAvailable(m.notes().at(0)));
        QVERIFY(m.isAvailable(m.notes().at(1)));
        // A later save keeps the missing note and its transcript.
        m.rename(here.id, QStringLiteral("Renamed"));
        const QList<VoiceNote> saved = savedNotes();
        QCOMPARE(saved.size(), 2);
        QCOMPARE(saved.at(0).transcript, QStringLiteral("keep me"));
        // Playing it says why it cannot.
        m.togglePlay(gone);
        QVERIFY(m.playingID().isNull());
        QVERIFY2(m.status().startsWith(QStringLiteral("Can’t play: ")), qPrintable(m.status()));
    }

    void aRecordingCutOffByACrashComesBack()
    {
        QVERIFY(writeAudio(QStringLiteral("old.m4a")));
        const VoiceNote old = makeNote(QStringLiteral("Old"), QStringLiteral("old.m4a"));
        QVERIFY(saveNotes({old}));
        const QString path = RecorderModel::folder() + QStringLiteral("/Voice Note 2026-03-15 101010.m4a");
        std::vector<qint16> s(size_t(44100 * 2.5));
        for (size_t i = 0; i < s.size(); ++i)
            s[i] = qint16(2000 * std::sin(double(i) * 0.06));
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            AudioFileWriter w;
            if (!w.open(path) || !w.write(s.data(), qsizetype(s.size())))
                _exit(1);
            _exit(0); // the crash: nothing is finished
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(AudioFileWriter::isUnfinished(path));
        RecorderModel m;
        QCOMPARE(m.notes().size(), 2);
        const VoiceNote back = m.notes().first();
        QCOMPARE(back.fileName, QFileInfo(path).fileName());
        QVERIFY(back.title.startsWith(QStringLiteral("Voice Note — ")));
        QVERIFY2(back.duration >= 1.9 && back.duration <= 2.6, qPrintable(QString::number(back.duration)));
        QCOMPARE(m.notes().at(1), old);
        QVERIFY(!AudioFileWriter::isUnfinished(path));
        QCOMPARE(savedNotes(), m.notes());
        // Finished files are never taken for crash leftovers.
        QVERIFY(writeAudio(QStringLiteral("dropped here.m4a")));
        RecorderModel again;
        QCOMPARE(again.notes().size(), 2);
    }

    void recordingsOfALostListAreListedAgain_data()
    {
        QTest::addColumn<QByteArray>("list"); // the list file; empty: none
        QTest::addColumn<int>("listed");
        QTest::newRow("damaged list") << QByteArray("[{\"id\": ") << 2;
        QTest::newRow("list of the wrong form") << QByteArray("{\"notes\": []}") << 2;
        QTest::newRow("no list: files dropped in stay out") << QByteArray() << 0;
        QTest::newRow("readable list: files dropped in stay out") << QByteArray("[]") << 0;
    }
    // When the list of notes cannot be read, the recordings on disk are
    // listed again from their files rather than dropping out of reach; the
    // damaged list is kept aside.
    void recordingsOfALostListAreListedAgain()
    {
        QFETCH(QByteArray, list);
        QFETCH(int, listed);
        QVERIFY(writeAudio(QStringLiteral("Voice Note 2026-03-15 101010.m4a"), 1.0));
        QVERIFY(writeAudio(QStringLiteral("Voice Note 2026-03-16 090000.m4a")));
        if (!list.isEmpty())
            QVERIFY(TestEnvironment::writeState(RecorderModel::fileName(), list));
        RecorderModel m;
        QCOMPARE(m.notes().size(), listed);
        QCOMPARE(savedNotes(), m.notes());
        for (const VoiceNote& n : m.notes()) {
            QVERIFY(QFileInfo::exists(RecorderModel::folder() + QLatin1Char('/') + n.fileName));
            QVERIFY(n.duration > 0.3);
        }
        if (listed > 0) {
            const QStringList kept = QDir(Store::folder()).entryList({RecorderModel::fileName() + QStringLiteral(".unreadable-*")});
            QCOMPARE(kept.size(), 1);
            QCOMPARE(TestEnvironment::contents(Store::folder() + QLatin1Char('/') + kept.first()), list);
        }
    }

    void recoveryLooksAtTheFolderAsListed_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("recovered");
        QTest::newRow("recording") << QStringLiteral("Voice Note 2026-03-15 101010.m4a") << "file" << true;
        QTest::newRow("upper-case ending") << QStringLiteral("TAKE 2.M4A") << "file" << true;
        QTest::newRow("non-ASCII name") << QStringLiteral("Réunion — 3.m4a") << "file" << true;
        QTest::newRow("link to a recording") << QStringLiteral("linked.m4a") << "link" << true;
        QTest::newRow("hidden") << QStringLiteral(".partial.m4a") << "file" << false;
        QTest::newRow("other ending") << QStringLiteral("take.m4a.part") << "file" << false;
        QTest::newRow("folder") << QStringLiteral("folder.m4a") << "folder" << false;
        QTest::newRow("broken link") << QStringLiteral("gone.m4a") << "broken link" << false;
    }
    void recoveryLooksAtTheFolderAsListed()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(bool, recovered);
        QTemporaryDir elsewhere;
        const QString path = RecorderModel::folder() + QLatin1Char('/') + name;
        const QString cutOff = elsewhere.filePath(QStringLiteral("cut off.m4a"));
        if (kind == QLatin1String("file")) {
            QVERIFY(writeUnfinished(cutOff));
            QVERIFY(QFile::copy(cutOff, path));
        } else if (kind == QLatin1String("link")) {
            QVERIFY(writeUnfinished(cutOff));
            QVERIFY(QFile::link(cutOff, path));
        } else if (kind == QLatin1String("broken link")) {
            QVERIFY(QFile::link(elsewhere.filePath(QStringLiteral("none.m4a")), path));
        } else {
            QVERIFY(QDir().mkpath(path));
        }
        RecorderModel m(nullptr, RecorderModel::Load::background);
        QCOMPARE(m.notes().size(), recovered ? 1 : 0);
        if (recovered)
            QCOMPARE(m.notes().first().fileName, name);
    }

    void aFirstEditWaitsForTheNotesReadInTheBackground_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::newRow("rename") << "rename";
        QTest::newRow("transcript") << "transcript";
        QTest::newRow("delete") << "delete";
    }
    void aFirstEditWaitsForTheNotesReadInTheBackground()
    {
        // The window's model reads its notes while the window is built: an
        // edit that comes first must find them all, and never write a short
        // list over the file.
        QFETCH(QString, edit);
        QList<VoiceNote> notes;
        for (int i = 0; i < 400; ++i)
            notes.append(makeNote(QStringLiteral("Note %1").arg(i), QStringLiteral("n%1.m4a").arg(i)));
        QVERIFY(saveNotes(notes));
        const VoiceNote target = notes.at(200);
        RecorderModel m(nullptr, RecorderModel::Load::background);
        m.platform().alert = [](const QString&, const QString&, AlertStyle, const QStringList&) {
            return alertFirstButton;
        };
        qsizetype expected = notes.size();
        // The edit is the first thing asked of the model.
        if (edit == QLatin1String("rename")) {
            m.rename(target.id, QStringLiteral("Renamed"));
        } else if (edit == QLatin1String("transcript")) {
            m.setTranscript(target.id, QStringLiteral("Typed"));
        } else {
            m.deleteNote(target);
            --expected;
        }
        const QList<VoiceNote> saved = savedNotes();
        QCOMPARE(saved.size(), expected);
        QCOMPARE(m.notes(), saved);
        const auto it = std::find_if(saved.cbegin(), saved.cend(), [&](const VoiceNote& n) { return n.id == target.id; });
        if (edit == QLatin1String("rename"))
            QCOMPARE(it->title, QStringLiteral("Renamed"));
        else if (edit == QLatin1String("transcript"))
            QCOMPARE(it->transcript, QStringLiteral("Typed"));
        else if (edit == QLatin1String("delete"))
            QVERIFY(it == saved.cend());
    }

    void editsAreSavedAsTyped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QStringLiteral("Lecture 3");
        QTest::newRow("empty") << QString();
        QTest::newRow("spaces kept") << QStringLiteral("  padded  ");
        QTest::newRow("quotes and slashes") << QStringLiteral("“a/b” : c\\d");
        QTest::newRow("multi-line") << QStringLiteral("one\ntwo\n");
    }
    void editsAreSavedAsTyped()
    {
        QFETCH(QString, text);
        QVERIFY(writeAudio(QStringLiteral("a.m4a")));
        const VoiceNote n = makeNote(QStringLiteral("Old"), QStringLiteral("a.m4a"), QStringLiteral("old"));
        QVERIFY(saveNotes({n}));
        RecorderModel m;
        QSignalSpy status(&m, &RecorderModel::statusChanged);
        m.rename(n.id, text);
        QCOMPARE(savedNotes().value(0).title, text);
        m.setTranscript(n.id, text);
        QCOMPARE(savedNotes().value(0).transcript, text);
        QCOMPARE(m.notes().value(0).title, text);
        QCOMPARE(status.count(), 0);
        QVERIFY(QFile::exists(statePath() + QStringLiteral(".bak")));
    }

    void deleteAsksThenTrashes_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("shareFile");
        QTest::addColumn<bool>("removed");
        QTest::addColumn<bool>("fileTrashed");
        QTest::newRow("cancel") << alertFirstButton + 1 << false << false << false;
        QTest::newRow("delete") << alertFirstButton << false << true << true;
        // Two notes of an older list may name one file: it stays for the other.
        QTest::newRow("delete, file shared") << alertFirstButton << true << true << false;
    }
    void deleteAsksThenTrashes()
    {
        QFETCH(int, answer);
        QFETCH(bool, shareFile);
        QFETCH(bool, removed);
        QFETCH(bool, fileTrashed);
        const QString name = QStringLiteral("Voice Note %1.m4a").arg(QUuid::createUuid().toString(QUuid::Id128));
        QVERIFY(writeAudio(name));
        const VoiceNote n = makeNote(QStringLiteral("Talk"), name);
        QList<VoiceNote> list{n};
        if (shareFile)
            list.append(makeNote(QStringLiteral("Twin"), name));
        QVERIFY(saveNotes(list));
        RecorderModel m;
        Alerts alerts;
        alerts.answer = answer;
        alerts.attach(m);
        m.deleteNote(n);
        QCOMPARE(alerts.asked.size(), 1);
        QCOMPARE(alerts.asked[0].title, QStringLiteral("Delete “Talk”?"));
        QCOMPARE(alerts.asked[0].text, QStringLiteral("The recording will be moved to the Trash."));
        QCOMPARE(alerts.asked[0].style, AlertStyle::Warning);
        QCOMPARE(alerts.asked[0].buttons, (QStringList{QStringLiteral("Delete"), QStringLiteral("Cancel")}));
        QCOMPARE(!m.note(n.id), removed);
        QCOMPARE(!savedNotes().contains(n), removed);
        QCOMPARE(!QFile::exists(RecorderModel::pathOf(n)), fileTrashed);
        QCOMPARE(trashed().contains(name), fileTrashed);
        // Nothing lands in the working folder instead.
        QVERIFY(!QFile::exists(QStringLiteral("files/") + name));
    }

    void exportCopiesWithoutEverLosingTheSource_data()
    {
        QTest::addColumn<QString>("target"); // relative to a temporary folder; "@own" = the note's file
        QTest::addColumn<bool>("existing");
        QTest::addColumn<QString>("status");
        QTest::newRow("new file") << QStringLiteral("out/Talk.m4a") << false << QStringLiteral("Exported to Talk.m4a");
        QTest::newRow("replaces a file") << QStringLiteral("out/Old.m4a") << true << QStringLiteral("Exported to Old.m4a");
        QTest::newRow("onto its own file") << QStringLiteral("@own") << true << QStringLiteral("Exported to a.m4a");
        QTest::newRow("own file through a link") << QStringLiteral("@link") << true << QStringLiteral("Exported to a.m4a");
        QTest::newRow("missing folder") << QStringLiteral("nowhere/x/Talk.m4a") << false << QStringLiteral("Export failed: ");
    }
    void exportCopiesWithoutEverLosingTheSource()
    {
        QFETCH(QString, target);
        QFETCH(bool, existing);
        QFETCH(QString, status);
        QVERIFY(writeAudio(QStringLiteral("a.m4a")));
        const VoiceNote n = makeNote(QStringLiteral("Talk 10:30 a/b"), QStringLiteral("a.m4a"));
        QVERIFY(saveNotes({n}));
        const QByteArray audio = fileBytes(RecorderModel::pathOf(n));
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("out"));
        QString path = dir.filePath(target);
        if (target == QLatin1String("@own"))
            path = RecorderModel::pathOf(n);
        if (target == QLatin1String("@link")) {
            QVERIFY(QFile::link(RecorderModel::folder(), dir.filePath(QStringLiteral("link"))));
            path = dir.filePath(QStringLiteral("link/a.m4a"));
        }
        if (existing && !QFile::exists(path)) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old content");
        }
        RecorderModel m;
        QString proposed;
        m.platform().chooseExportPath = [&](const QString& name) {
            proposed = name;
            return path;
        };
        m.exportNote(n);
        QCOMPARE(proposed, QStringLiteral("Talk 10-30 a-b.m4a"));
        QVERIFY2(m.status().startsWith(status), qPrintable(m.status()));
        // The note's own audio is never touched.
        QCOMPARE(fileBytes(RecorderModel::pathOf(n)), audio);
        if (!status.startsWith(QLatin1String("Export failed")))
            QCOMPARE(fileBytes(path), audio);
        // Nothing half-written is left beside the destination.
        QCOMPARE(QDir(dir.filePath(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden).filter(
                     QStringLiteral(".part")),
                 QStringList());
    }

    void exportCancelledOrSourceMissing()
    {
        const VoiceNote n = makeNote(QStringLiteral("Gone"), QStringLiteral("gone.m4a"));
        QVERIFY(saveNotes({n}));
        RecorderModel m;
        m.platform().chooseExportPath = [](const QString&) { return QString(); };
        m.exportNote(n);
        QVERIFY(m.status().isEmpty());
        QTemporaryDir dir;
        m.platform().chooseExportPath = [&](const QString&) { return dir.filePath(QStringLiteral("x.m4a")); };
        m.exportNote(n);
        QVERIFY2(m.status().startsWith(QStringLiteral("Export failed: ")), qPrintable(m.status()));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x.m4a"))));
    }

    void microphoneAccessPaths_data()
    {
        QTest::addColumn<int>("access");
        QTest::addColumn<bool>("granted");  // the answer to a question, when asked
        QTest::addColumn<int>("answer");    // the alert's answer
        QTest::addColumn<bool>("alerted");
        QTest::addColumn<bool>("opened");
        using A = RecorderModel::MicrophoneAccess;
        QTest::newRow("denied, open settings") << int(A::denied) << false << alertFirstButton << true << true;
        QTest::newRow("denied, cancel") << int(A::denied) << false << alertFirstButton + 1 << true << false;
        QTest::newRow("restricted") << int(A::restricted) << false << alertFirstButton << true << true;
        QTest::newRow("asked, refused") << int(A::notDetermined) << false << alertFirstButton + 1 << true << false;
    }
    void microphoneAccessPaths()
    {
        QFETCH(int, access);
        QFETCH(bool, granted);
        QFETCH(int, answer);
        QFETCH(bool, alerted);
        QFETCH(bool, opened);
        RecorderModel m;
        Alerts alerts;
        alerts.answer = answer;
        alerts.attach(m);
        bool settingsOpened = false;
        m.platform().microphoneAccess = [access] { return RecorderModel::MicrophoneAccess(access); };
        m.platform().requestMicrophone = [granted](std::function<void(bool)> reply) {
            // The answer comes from another thread, as a desktop service's would.
            std::thread([reply, granted] { reply(granted); }).detach();
        };
        m.platform().openMicrophoneSettings = [&settingsOpened] { return settingsOpened = true; };
        m.requestAndRecord();
        QTRY_COMPARE(alerts.asked.size(), alerted ? 1 : 0);
        QCOMPARE(alerts.asked[0].title, QStringLiteral("Microphone access needed"));
        QCOMPARE(alerts.asked[0].text,
                 QStringLiteral("Brindleworks needs the microphone to record voice notes. Open Privacy settings?"));
        QCOMPARE(alerts.asked[0].style, AlertStyle::Informational);
        QCOMPARE(alerts.asked[0].buttons, (QStringList{QStringLiteral("Open Settings"), QStringLiteral("Cancel")}));
        QCOMPARE(m.status(), QStringLiteral("Microphone access is off. Turn it on in System Settings › Privacy & "
                                            "Security › Microphone › Brindleworks."));
        QCOMPARE(settingsOpened, opened);
        QVERIFY(!m.recording());
    }

    void transcriptionReplacesTheTranscriptWhenDone()
    {
        const VoiceNote n = makeNote(QStringLiteral("Speech"), QStringLiteral("speech.m4a"), QStringLiteral("typed"));
        if (!writeSpeech(RecorderModel::pathOf(n)))
            QSKIP("the recogniser's test recordings are not installed");
        QVERIFY(saveNotes({n}));
        RecorderModel m;
        QSignalSpy changes(&m, &RecorderModel::notesChanged);
        m.transcribe(n);
        QCOMPARE(m.transcribingID(), n.id);
        QCOMPARE(m.status(), QStringLiteral("Transcribing on this computer…"));
        // Asked again while it runs: still one task, one result.
        m.transcribe(n);
        QTRY_COMPARE_WITH_TIMEOUT(m.status(), QStringLiteral("Transcript ready."), 60000);
        QVERIFY(m.transcribingID().isNull());
        QCOMPARE(m.notes().value(0).transcript, QStringLiteral("Go forward ten meters."));
        QCOMPARE(savedNotes().value(0).transcript, QStringLiteral("Go forward ten meters."));
        QTest::qWait(200);
        QCOMPARE(changes.count(), 1);
    }

    void twoNotesTranscribeAtOnce()
    {
        const VoiceNote a = makeNote(QStringLiteral("A"), QStringLiteral("a.m4a"));
        const VoiceNote b = makeNote(QStringLiteral("B"), QStringLiteral("b.m4a"));
        if (!writeSpeech(RecorderModel::pathOf(a)) || !writeSpeech(RecorderModel::pathOf(b)))
            QSKIP("the recogniser's test recordings are not installed");
        QVERIFY(saveNotes({a, b}));
        RecorderModel m;
        m.transcribe(a);
        m.transcribe(b);
        QVERIFY(m.isTranscribing(a.id) && m.isTranscribing(b.id));
        QTRY_VERIFY_WITH_TIMEOUT(!m.isTranscribing(a.id) && !m.isTranscribing(b.id), 60000);
        QVERIFY(m.transcribingID().isNull());
        for (const VoiceNote& n : m.notes())
            QCOMPARE(n.transcript, QStringLiteral("Go forward ten meters."));
    }

    void aNoteGoneDuringTranscriptionHearsNothing_data()
    {
        QTest::addColumn<bool>("deleteModel");
        QTest::newRow("note deleted") << false;
        QTest::newRow("window's model gone") << true;
    }
    void aNoteGoneDuringTranscriptionHearsNothing()
    {
        QFETCH(bool, deleteModel);
        const VoiceNote n = makeNote(QStringLiteral("Speech"), QStringLiteral("speech.m4a"));
        if (!writeSpeech(RecorderModel::pathOf(n)))
            QSKIP("the recogniser's test recordings are not installed");
        QVERIFY(saveNotes({n}));
        auto* m = new RecorderModel;
        Alerts alerts;
        alerts.attach(*m);
        QSignalSpy status(m, &RecorderModel::statusChanged);
        m->transcribe(n);
        if (deleteModel) {
            delete m;
            QTest::qWait(3000);
            QCOMPARE(savedNotes().value(0).transcript, QString());
            return;
        }
        m->deleteNote(n);
        QVERIFY(m->transcribingID().isNull());
        QTest::qWait(3000);
        // The job went with its note, and the status says so for good.
        QCOMPARE(m->status(), QStringLiteral("Transcription stopped: the note was deleted."));
        QCOMPARE(status.count(), 2);
        QVERIFY(savedNotes().isEmpty());
        delete m;
    }

    void transcriptionRefusals_data()
    {
        QTest::addColumn<bool>("authorized");
        QTest::addColumn<bool>("model");
        QTest::addColumn<QString>("status");
        QTest::newRow("speech recognition off")
            << false << true
            << QStringLiteral("Speech recognition is off. Turn it on in System Settings › Privacy & Security › "
                              "Speech Recognition.");
        QTest::newRow("no model") << true << false
                                  << QStringLiteral("Speech recognition isn’t available for your language.");
        QTest::newRow("missing audio") << true << true << QStringLiteral("Transcription stopped: ");
    }
    void transcriptionRefusals()
    {
        QFETCH(bool, authorized);
        QFETCH(bool, model);
        QFETCH(QString, status);
        QTemporaryDir empty;
        if (!model)
            Transcriber::setModelFolder(empty.path());
        const VoiceNote n = makeNote(QStringLiteral("Gone"), QStringLiteral("gone.m4a"), QStringLiteral("typed"));
        QVERIFY(saveNotes({n}));
        RecorderModel m;
        m.platform().speechAuthorized = [authorized] { return authorized; };
        m.transcribe(n);
        QTRY_VERIFY_WITH_TIMEOUT(m.status().startsWith(status), 20000);
        QVERIFY(m.transcribingID().isNull());
        QCOMPARE(m.notes().value(0).transcript, QStringLiteral("typed"));
        Transcriber::setModelFolder(QString());
    }

    void silenceKeepsWhatWasTyped()
    {
        const VoiceNote n = makeNote(QStringLiteral("Quiet"), QStringLiteral("quiet.m4a"), QStringLiteral("typed"));
        AudioFileWriter w;
        QVERIFY(w.open(RecorderModel::pathOf(n)));
        const std::vector<qint16> zeros(44100, 0);
        QVERIFY(w.write(zeros.data(), qsizetype(zeros.size())));
        QVERIFY(w.finish());
        QVERIFY(saveNotes({n}));
        RecorderModel m;
        m.transcribe(n);
        QTRY_VERIFY_WITH_TIMEOUT(m.transcribingID().isNull(), 30000);
        QCOMPARE(m.status(), QStringLiteral("Transcription stopped: No speech was recognised."));
        QCOMPARE(m.notes().value(0).transcript, QStringLiteral("typed"));
    }

    void aRecorderThatCannotBeCreatedSaysWhy()
    {
        // A file where the Recordings folder should be.
        QDir(RecorderModel::folder()).removeRecursively();
        QFile blocker(Store::path(QStringLiteral("Recordings")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        RecorderModel m;
        m.startRecording();
        QVERIFY(!m.recording());
        QVERIFY2(m.status().startsWith(QStringLiteral("Recording failed: ")), qPrintable(m.status()));
        QVERIFY(m.status().size() > QStringLiteral("Recording failed: ").size());
        QVERIFY(m.notes().isEmpty());
        QFile::remove(blocker.fileName());
    }
};

QTEST_GUILESS_MAIN(RecorderModelTest)
#include "tst_recordermodel.moc"
