// Recording pressed while the sound server is down does not leave recording
// broken: once the server is back, the next press records.
#include "PrivatePulse.h"
#include "RecorderFixtures.h"
#include "TestEnvironment.h"
#include "notes/AudioCapture.h"
#include "notes/RecorderModel.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Before anything can reach a server: point every client at a socket that
// does not exist yet.
struct NoServerYet {
    QTemporaryDir dir;
    NoServerYet()
    {
        qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
        qputenv("PULSE_SERVER", (QStringLiteral("unix:") + dir.path() + QStringLiteral("/none")).toLocal8Bit());
    }
};
const NoServerYet noServerYet;

} // namespace

class AudioServerBackTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { RecorderFixtures::clearAll(); }

    void recordsOnceTheServerIsBack_data()
    {
        QTest::addColumn<int>("failedAttempts");
        QTest::newRow("one press while down") << 1;
        QTest::newRow("several presses while down") << 3;
    }
    void recordsOnceTheServerIsBack()
    {
        QFETCH(int, failedAttempts);
        RecorderModel m;
        for (int i = 0; i < failedAttempts; ++i) {
            m.requestAndRecord();
            QVERIFY(!m.recording());
        }
        PrivatePulse pulse;
        const QString why = pulse.start();
        if (!why.isEmpty())
            QSKIP(qPrintable(why));
        m.requestAndRecord();
        QVERIFY2(m.recording(), qPrintable(m.status()));
        QTRY_VERIFY_WITH_TIMEOUT(m.capture() && m.capture()->samplesCaptured() > 0, 10000);
        m.stopRecording();
        QTRY_COMPARE(m.notes().size(), 1);
        pulse.stop();
        // Down again: the next press fails cleanly instead of hanging.
        m.requestAndRecord();
        QVERIFY(!m.recording());
    }
};

QTEST_GUILESS_MAIN(AudioServerBackTest)
#include "tst_audioserverback.moc"
