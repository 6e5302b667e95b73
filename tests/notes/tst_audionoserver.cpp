// Without any sound server the recorder says so and carries on.
#include "RecorderFixtures.h"
#include "TestEnvironment.h"
#include "notes/RecorderModel.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Before anything can reach a server: point every client at a socket that
// does not exist.
struct NoServer {
    QTemporaryDir dir;
    NoServer()
    {
        qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
        qputenv("PULSE_SERVER", (QStringLiteral("unix:") + dir.path() + QStringLiteral("/none")).toLocal8Bit());
    }
};
const NoServer noServer;

} // namespace

class AudioNoServerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { RecorderFixtures::clearAll(); }

    void recordingCannotStart_data()
    {
        QTest::addColumn<int>("attempts");
        QTest::newRow("once") << 1;
        QTest::newRow("again and again") << 3;
    }
    void recordingCannotStart()
    {
        QFETCH(int, attempts);
        RecorderModel m;
        for (int i = 0; i < attempts; ++i) {
            m.requestAndRecord();
            QVERIFY(!m.recording());
            QCOMPARE(m.status(), QStringLiteral("Couldn’t start recording — check that a microphone is connected."));
        }
        m.stopRecording(); // nothing to stop
        QVERIFY(m.notes().isEmpty());
        QCOMPARE(QDir(RecorderModel::folder()).entryList(QDir::Files | QDir::Hidden), QStringList());
        QVERIFY(!QFile::exists(Store::path(RecorderModel::fileName())));
    }
};

QTEST_GUILESS_MAIN(AudioNoServerTest)
#include "tst_audionoserver.moc"
