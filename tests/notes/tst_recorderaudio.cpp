// The recorder against a real (private) sound server: what is played into
// its virtual microphone is recorded, metered and played back.
#include "AudioProbe.h"
#include "PrivatePulse.h"
#include "RecorderFixtures.h"
#include "TestEnvironment.h"
#include "notes/AudioCapture.h"
#include "notes/RecorderModel.h"
#include "notes/RecorderNaming.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace RecorderFixtures;

class RecorderAudioTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        const QString why = m_pulse.start();
        if (!why.isEmpty())
            QSKIP(qPrintable(QStringLiteral("no private sound server: ") + why));
        m_sine = m_pulse.folder() + QStringLiteral("/sine.wav");
        QVERIFY(PrivatePulse::writeSine(m_sine, 12, -27.5));
    }
    void cleanupTestCase() { m_pulse.stop(); }
    void init() { clearAll(); }

    void recordsWhatTheMicrophoneHears()
    {
        RecorderModel m;
        QVERIFY(m_pulse.play(m_sine));
        QSignalSpy capturing(&m, &RecorderModel::capturing);
        m.requestAndRecord();
        QVERIFY2(m.recording(), qPrintable(m.status()));
        QCOMPARE(m.status(), QStringLiteral("Recording…"));
        QCOMPARE(m.elapsed(), 0.0);
        QVERIFY(capturing.wait(5000));
        QElapsedTimer wall;
        wall.start();
        // Three seconds by the recorder's own clock (a loaded machine may
        // oversleep a plain wait).
        while (m.capture()->currentTime() < 2.92 && wall.elapsed() < 10000)
            QTest::qWait(5);
        QVERIFY2(std::abs(wall.elapsed() - 3000) < 600, qPrintable(QString::number(wall.elapsed())));
        // The meter shows the sine at half way (-27.5 dBFS).
        QVERIFY2(std::abs(m.level() - 0.5f) < 0.05f, qPrintable(QString::number(m.level())));
        QTRY_VERIFY(m.elapsed() > 2.5);
        const QString file = m.currentFile();
        m.stopRecording();
        QVERIFY(!m.recording());
        QCOMPARE(m.level(), 0.0f);
        QCOMPARE(m.notes().size(), 1);
        const VoiceNote n = m.notes().first();
        QCOMPARE(n.fileName, file);
        QVERIFY(file.startsWith(QStringLiteral("Voice Note ")) && file.endsWith(QStringLiteral(".m4a")));
        QVERIFY2(std::abs(n.duration - 3.0) < 0.1, qPrintable(QString::number(n.duration)));
        QVERIFY(n.title.startsWith(QStringLiteral("Voice Note — ")));
        QVERIFY(n.transcript.isEmpty());
        QCOMPARE(m.status(), QStringLiteral("Saved ") + n.title);
        QCOMPARE(m.elapsed(), n.duration);

        const AudioProbe p = AudioProbe::of(RecorderModel::pathOf(n));
        QVERIFY(p.ok);
        QCOMPARE(p.codec, QStringLiteral("aac"));
        QCOMPARE(p.channels, 1);
        QCOMPARE(p.sampleRate, 44100);
        QVERIFY2(std::abs(p.seconds - 3.0) < 0.1, qPrintable(QString::number(p.seconds)));
        QVERIFY2(std::abs(p.seconds - n.duration) < 0.05,
                 qPrintable(QStringLiteral("%1 / %2").arg(p.seconds).arg(n.duration)));
        QCOMPARE(Store::loadList<VoiceNote>(RecorderModel::fileName()).value_or(QList<VoiceNote>()), m.notes());
    }

    void aFileThatCannotBeFinishedIsNotReportedSaved()
    {
        RecorderModel m;
        QVERIFY(m_pulse.play(m_sine));
        QSignalSpy capturing(&m, &RecorderModel::capturing);
        m.requestAndRecord();
        QVERIFY2(m.recording(), qPrintable(m.status()));
        QVERIFY(capturing.wait(5000));
        QTest::qWait(300);
        // The file goes away under the recorder, so it cannot be finished.
        QVERIFY(QFile::remove(RecorderModel::folder() + QLatin1Char('/') + m.currentFile()));
        m.stopRecording();
        QVERIFY(!m.recording());
        QVERIFY2(m.status().startsWith(QStringLiteral("Recording failed: ")), qPrintable(m.status()));
        QVERIFY(m.status().size() > QStringLiteral("Recording failed: ").size());
    }

    void twoRecordingsInOneSecondKeepTwoFiles()
    {
        RecorderModel m;
        for (int i = 0; i < 3; ++i) {
            m.startRecording();
            QVERIFY2(m.recording(), qPrintable(m.status()));
            QTest::qWait(150);
            m.stopRecording();
        }
        QCOMPARE(m.notes().size(), 3);
        QSet<QString> names;
        for (const VoiceNote& n : m.notes()) {
            names.insert(n.fileName);
            QVERIFY(AudioProbe::of(RecorderModel::pathOf(n)).ok);
        }
        QCOMPARE(names.size(), 3);
    }

    void playbackRunsToTheEndAndResets()
    {
        QVERIFY(writeAudio(QStringLiteral("one.m4a"), 1.0));
        QVERIFY(writeAudio(QStringLiteral("two.m4a"), 1.0));
        const VoiceNote one = makeNote(QStringLiteral("One"), QStringLiteral("one.m4a"));
        const VoiceNote two = makeNote(QStringLiteral("Two"), QStringLiteral("two.m4a"));
        QVERIFY(saveNotes({one, two}));
        RecorderModel m;
        m.togglePlay(one);
        QCOMPARE(m.playingID(), one.id);
        QVERIFY(m.player());
        // Another note takes over; the same note again stops.
        m.togglePlay(two);
        QCOMPARE(m.playingID(), two.id);
        m.togglePlay(two);
        QVERIFY(m.playingID().isNull());
        QVERIFY(!m.player());

        m.togglePlay(one);
        QTRY_VERIFY_WITH_TIMEOUT(m.playProgress() > 0.2, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(m.playingID().isNull(), 8000);
        QCOMPARE(m.playProgress(), 0.0);
        QVERIFY(!m.player());
    }

    void recordingAndPlaybackKeepTheirOwnTimers()
    {
        QVERIFY(writeAudio(QStringLiteral("long.m4a"), 4.0));
        const VoiceNote note = makeNote(QStringLiteral("Long"), QStringLiteral("long.m4a"));
        QVERIFY(saveNotes({note}));
        RecorderModel m;
        QVERIFY(m_pulse.play(m_sine));
        m.startRecording();
        QVERIFY(m.recording());
        m.togglePlay(note);
        QCOMPARE(m.playingID(), note.id);
        QTRY_VERIFY_WITH_TIMEOUT(m.playProgress() > 0, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(m.level() > 0.3f, 5000);
        // Stopping the playback leaves the meter running …
        m.stopPlayback();
        const double before = m.elapsed();
        QTest::qWait(300);
        QVERIFY(m.elapsed() > before);
        // … and a recording that ends leaves a playback's progress running.
        m.togglePlay(note);
        QTRY_VERIFY_WITH_TIMEOUT(m.playProgress() > 0, 5000);
        m.stopRecording();
        const double progress = m.playProgress();
        QTest::qWait(400);
        QVERIFY(m.playProgress() > progress);
        // Starting a recording stops the playback.
        m.startRecording();
        QVERIFY(m.playingID().isNull());
        m.stopRecording();
    }

    void aRunningRecordingIsSavedAtTheEnd_data()
    {
        QTest::addColumn<bool>("quit");
        QTest::newRow("window's model goes away") << false;
        QTest::newRow("program quits") << true;
    }
    void aRunningRecordingIsSavedAtTheEnd()
    {
        QFETCH(bool, quit);
        QVERIFY(m_pulse.play(m_sine));
        auto* m = new RecorderModel;
        QSignalSpy capturing(m, &RecorderModel::capturing);
        m->startRecording();
        QVERIFY(m->recording());
        QVERIFY(capturing.wait(5000) || capturing.count() > 0);
        QTest::qWait(600);
        if (quit) {
            RecorderModel::finishAll();
            QVERIFY(!m->recording());
        }
        delete m;
        const QList<VoiceNote> saved = Store::loadList<VoiceNote>(RecorderModel::fileName()).value_or(QList<VoiceNote>());
        QCOMPARE(saved.size(), 1);
        QVERIFY(saved.first().duration > 0.3);
        QVERIFY(AudioProbe::of(RecorderModel::pathOf(saved.first())).ok);
    }

    void aRecordingStoppedBeforeAnySoundLeavesNothing()
    {
        RecorderModel m;
        m.startRecording();
        QVERIFY(m.recording());
        const QString path = RecorderModel::folder() + QLatin1Char('/') + m.currentFile();
        // Stopped before the first block of samples can arrive.
        m.stopRecording();
        const QList<VoiceNote> saved = Store::loadList<VoiceNote>(RecorderModel::fileName()).value_or(QList<VoiceNote>());
        if (saved.isEmpty()) {
            QVERIFY(m.notes().isEmpty());
            QVERIFY(!QFile::exists(path));
            QCOMPARE(m.status(), QStringLiteral("Nothing was recorded — no sound arrived from the microphone."));
        } else {
            // The server was quicker than the stop: then it is a real note.
            QVERIFY(saved.first().duration > 0);
            QVERIFY(QFile::exists(path));
        }
        // Never an empty note.
        for (const VoiceNote& n : m.notes())
            QVERIFY(n.duration > 0);
    }

    void clickToCapturingIsQuick()
    {
        QVERIFY(m_pulse.play(m_sine));
        RecorderModel m;
        QSignalSpy capturing(&m, &RecorderModel::capturing);
        QElapsedTimer t;
        t.start();
        m.requestAndRecord();
        QVERIFY(capturing.wait(5000));
        qInfo("record click to first samples: %lld ms", t.elapsed());
        m.stopRecording();
    }

    void aFileThatDoesNotPlaySaysWhy()
    {
        const VoiceNote n = makeNote(QStringLiteral("Broken"), QStringLiteral("broken.m4a"));
        QFile f(RecorderModel::pathOf(n));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4000, 'x'));
        f.close();
        QVERIFY(saveNotes({n}));
        RecorderModel m;
        m.togglePlay(n);
        QTRY_VERIFY_WITH_TIMEOUT(m.status().startsWith(QStringLiteral("Can’t play: ")), 10000);
        QTRY_VERIFY(m.playingID().isNull());
        QVERIFY(!m.player());
    }

    // Last: it ends the server.
    void theServerGoingAwayEndsTheRecordingAndKeepsIt()
    {
        QVERIFY(m_pulse.play(m_sine));
        RecorderModel m;
        QSignalSpy capturing(&m, &RecorderModel::capturing);
        m.startRecording();
        QVERIFY(m.recording());
        QVERIFY(capturing.wait(5000));
        QTest::qWait(500);
        m_pulse.stop();
        QTRY_VERIFY_WITH_TIMEOUT(!m.recording(), 10000);
        QVERIFY2(m.status().startsWith(QStringLiteral("Recording failed: ")), qPrintable(m.status()));
        QCOMPARE(m.notes().size(), 1);
        QVERIFY(AudioProbe::of(RecorderModel::pathOf(m.notes().first())).ok);
    }

private:
    PrivatePulse m_pulse;
    QString m_sine;
};

QTEST_GUILESS_MAIN(RecorderAudioTest)
#include "tst_recorderaudio.moc"
