#include "AudioProbe.h"
#include "TestEnvironment.h"
#include "notes/AudioDecoder.h"
#include "notes/AudioFileWriter.h"
#include "notes/AudioMeter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<qint16> sine(double seconds, double dbfs, int rate = 44100, double hz = 440)
{
    const double amplitude = 32768.0 * std::pow(10.0, dbfs / 20.0) * std::sqrt(2.0);
    std::vector<qint16> s(size_t(std::lround(seconds * rate)));
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = qint16(std::lround(std::clamp(amplitude * std::sin(2 * M_PI * hz * double(i) / rate), -32768.0, 32767.0)));
    return s;
}

// Writes the samples in blocks of the size the capture delivers.
bool writeBlocks(AudioFileWriter& w, const std::vector<qint16>& s, qsizetype block = 4410)
{
    for (qsizetype i = 0; i < qsizetype(s.size()); i += block) {
        if (!w.write(s.data() + i, std::min<qsizetype>(block, qsizetype(s.size()) - i)))
            return false;
    }
    return true;
}

double rmsDb(const std::vector<qint16>& s, size_t from, size_t to)
{
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += double(s[i]) * s[i];
    return AudioMeter::dbfs(std::sqrt(sum / double(to - from)));
}

} // namespace

class AudioFileTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesMonoAacAtTheRecordersRate_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::newRow("3 s") << 3.0;
        QTest::newRow("under one frame") << 0.01;
        QTest::newRow("nothing at all") << 0.0;
        QTest::newRow("longer than several fragments") << 7.3;
    }
    void writesMonoAacAtTheRecordersRate()
    {
        QFETCH(double, seconds);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Voice Note 2026-03-14 090500.m4a"));
        AudioFileWriter w;
        QString error;
        QVERIFY2(w.open(path, &error), qPrintable(error));
        const std::vector<qint16> s = sine(seconds, -20);
        QVERIFY(writeBlocks(w, s));
        QCOMPARE(w.samplesWritten(), qint64(s.size()));
        QVERIFY2(w.finish(&error), qPrintable(error));

        const AudioProbe p = AudioProbe::of(path);
        QVERIFY(p.ok);
        QCOMPARE(p.codec, QStringLiteral("aac"));
        QCOMPARE(p.profile, int(FF_PROFILE_AAC_LOW));
        QCOMPARE(p.channels, 1);
        QCOMPARE(p.sampleRate, 44100);
        QVERIFY2(p.format.contains(QLatin1String("mp4")), qPrintable(p.format));
        if (seconds > 0.5)
            QVERIFY2(std::abs(p.seconds - seconds) < 0.05, qPrintable(QString::number(p.seconds)));
        // No temporary file is left beside it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

        // The sound survives the encoding: same length, same loudness.
        const std::vector<qint16> back = AudioDecoder::decodeAll(path, 44100, &error);
        QVERIFY2(std::abs(double(back.size()) - double(s.size())) < 44100 * 0.05, qPrintable(error));
        if (seconds > 1)
            QVERIFY(std::abs(rmsDb(back, 22050, back.size() - 22050) - (-20.0)) < 0.5);
    }

    void aCrashMidRecordingLeavesAPlayableFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("crash.m4a"));
        const std::vector<qint16> s = sine(2.6, -20);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            AudioFileWriter w;
            if (!w.open(path) || !writeBlocks(w, s))
                _exit(1);
            _exit(0); // no finish(), no destructors: the process just ends
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QString error;
        const std::vector<qint16> back = AudioDecoder::decodeAll(path, 44100, &error);
        QVERIFY2(!back.empty(), qPrintable(error));
        // Every whole second reached the disk.
        QVERIFY2(back.size() >= 2 * 44100 - 2048, qPrintable(QString::number(back.size())));
        // And finishing it later (as after a crash) gives a plain file.
        QVERIFY(AudioFileWriter::compact(path, &error));
        QVERIFY(AudioProbe::of(path).seconds > 1.9);
    }

    void refusesToWriteOverAFileOrIntoNowhere_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::newRow("existing file") << QStringLiteral("taken.m4a") << true;
        QTest::newRow("missing folder") << QStringLiteral("no/such/folder/x.m4a") << false;
    }
    void refusesToWriteOverAFileOrIntoNowhere()
    {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (exists) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("precious");
        }
        AudioFileWriter w;
        QString error;
        QVERIFY(!w.open(path, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!w.isOpen());
        if (exists) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray("precious"));
        } else {
            QVERIFY(!QFile::exists(path));
        }
    }

    void decodingBadInputFailsWithAReason_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("create");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("text") << QByteArray("this is not audio at all") << true;
        QTest::newRow("truncated header") << QByteArray("\0\0\0\x20" "ftypM4A ", 12) << true;
    }
    void decodingBadInputFailsWithAReason()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, create);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.m4a"));
        if (create) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        const AudioDecoder::Result r = AudioDecoder::decode(path, 16000, [](const qint16*, qsizetype) { return true; });
        QCOMPARE(r.outcome, AudioDecoder::Outcome::failed);
        QVERIFY(!r.error.isEmpty());
    }

    void decodingStopsWhenTheSinkSaysSo()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("long.m4a"));
        AudioFileWriter w;
        QVERIFY(w.open(path));
        QVERIFY(writeBlocks(w, sine(5, -20)));
        QVERIFY(w.finish());
        qsizetype seen = 0;
        const AudioDecoder::Result r = AudioDecoder::decode(path, 16000, [&seen](const qint16*, qsizetype n) {
            seen += n;
            return seen < 16000;
        });
        QCOMPARE(r.outcome, AudioDecoder::Outcome::cancelled);
        QVERIFY(seen < 16000 * 2);
    }

    void meterFollowsTheLastFiftyMilliseconds_data()
    {
        QTest::addColumn<double>("dbfs");
        QTest::addColumn<double>("level");
        QTest::newRow("near full scale") << -3.0 << 52.0 / 55.0;
        QTest::newRow("half way") << -27.5 << 0.5;
        QTest::newRow("floor") << -55.0 << 0.0;
        QTest::newRow("below the floor") << -70.0 << 0.0;
        QTest::newRow("quiet") << -44.0 << 0.2;
    }
    void meterFollowsTheLastFiftyMilliseconds()
    {
        QFETCH(double, dbfs);
        QFETCH(double, level);
        AudioMeter m;
        // A loud second first: only the newest 50 ms may count.
        const std::vector<qint16> loud = sine(1, -1);
        m.add(loud.data(), qsizetype(loud.size()));
        const std::vector<qint16> s = sine(0.2, dbfs);
        // Delivered in uneven blocks, as a device does.
        for (qsizetype i = 0; i < qsizetype(s.size());) {
            const qsizetype n = std::min<qsizetype>(qsizetype(s.size()) - i, 37 + (i % 3000));
            m.add(s.data() + i, n);
            i += n;
        }
        QVERIFY2(std::abs(AudioMeter::level(m.averagePower()) - level) < 0.01,
                 qPrintable(QString::number(AudioMeter::level(m.averagePower()))));
    }

    void meterOfSilenceAndOddValues_data()
    {
        QTest::addColumn<double>("dbfs");
        QTest::addColumn<float>("level");
        QTest::newRow("nan") << std::nan("") << 0.0f;
        QTest::newRow("+inf") << HUGE_VAL << 1.0f;
        QTest::newRow("-inf") << -HUGE_VAL << 0.0f;
        QTest::newRow("above full scale") << 6.0 << 1.0f;
    }
    void meterOfSilenceAndOddValues()
    {
        QFETCH(double, dbfs);
        QFETCH(float, level);
        QCOMPARE(AudioMeter::level(dbfs), level);
        AudioMeter m;
        QCOMPARE(AudioMeter::level(m.averagePower()), 0.0f);
        const std::vector<qint16> zeros(5000, 0);
        m.add(zeros.data(), qsizetype(zeros.size()));
        QCOMPARE(m.averagePower(), AudioMeter::kSilence);
    }
};

QTEST_GUILESS_MAIN(AudioFileTest)
#include "tst_audiofile.moc"
