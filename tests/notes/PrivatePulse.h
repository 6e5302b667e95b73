#pragma once

// A private PulseAudio server for audio tests: a null sink ("bwsink") and a
// virtual microphone ("bwmic") remapped from the sink's monitor, with its
// socket under a temporary XDG_RUNTIME_DIR. What a test plays into the sink
// is what the program records. Start it before anything opens an audio
// device; the process environment then points every client at it.

#include <QByteArray>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <cmath>
#include <memory>
#include <vector>

class PrivatePulse {
public:
    ~PrivatePulse() { stop(); }

    // Empty on success, else why the server could not start (the caller
    // skips its audio tests then).
    QString start()
    {
        const QString exe = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (exe.isEmpty())
            return QStringLiteral("pulseaudio is not installed");
        m_dir = std::make_unique<QTemporaryDir>();
        if (!m_dir->isValid())
            return QStringLiteral("no temporary folder");
        const QString runtime = m_dir->path();
        const QString socket = runtime + QStringLiteral("/pulse/native");
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
        qputenv("PULSE_SERVER", (QStringLiteral("unix:") + socket).toLocal8Bit());
        qputenv("PULSE_RUNTIME_PATH", (runtime + QStringLiteral("/pulse")).toLocal8Bit());
        m_server.setProgram(exe);
        // -n: no configuration file; everything the tests need is loaded here.
        // --system=false and the explicit modules also work when running as root.
        m_server.setArguments({QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--system=false"),
                               QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disable-shm=yes"),
                               QStringLiteral("--use-pid-file=no"), QStringLiteral("--log-target=stderr"),
                               QStringLiteral("-L"),
                               QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + socket,
                               QStringLiteral("-L"),
                               QStringLiteral("module-null-sink sink_name=bwsink rate=44100 channels=1"),
                               QStringLiteral("-L"),
                               QStringLiteral("module-remap-source source_name=bwmic master=bwsink.monitor channels=1")});
        m_server.setProcessChannelMode(QProcess::MergedChannels);
        m_server.start();
        if (!m_server.waitForStarted(5000))
            return QStringLiteral("pulseaudio did not start");
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000) {
            if (m_server.state() != QProcess::Running)
                return QStringLiteral("pulseaudio exited: ") + QString::fromLocal8Bit(m_server.readAll());
            if (QFileInfo::exists(socket) && pactl({QStringLiteral("set-default-source"), QStringLiteral("bwmic")})
                && pactl({QStringLiteral("set-default-sink"), QStringLiteral("bwsink")}))
                return QString();
            QThread::msleep(100);
        }
        return QStringLiteral("pulseaudio did not answer");
    }

    void stop()
    {
        for (QProcess* p : m_players) {
            p->kill();
            p->waitForFinished(2000);
            delete p;
        }
        m_players.clear();
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            if (!m_server.waitForFinished(3000)) {
                m_server.kill();
                m_server.waitForFinished(2000);
            }
        }
    }

    bool pactl(const QStringList& args)
    {
        QProcess p;
        p.start(QStringLiteral("pactl"), args);
        return p.waitForFinished(5000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    // Plays a WAV file into the sink (the microphone hears it); returns at once.
    bool play(const QString& wav)
    {
        auto* p = new QProcess;
        p->start(QStringLiteral("paplay"), {QStringLiteral("--device=bwsink"), QStringLiteral("--latency-msec=20"), wav});
        m_players.append(p);
        return p->waitForStarted(5000);
    }

    QString folder() const { return m_dir ? m_dir->path() : QString(); }

    // A 16-bit mono WAV of a sine whose RMS is `dbfs` below full scale.
    static bool writeSine(const QString& path, double seconds, double dbfs, int rate = 44100, double hz = 440)
    {
        const double amplitude = 32768.0 * std::pow(10.0, dbfs / 20.0) * std::sqrt(2.0);
        std::vector<qint16> samples(size_t(seconds * rate));
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = qint16(std::lround(amplitude * std::sin(2 * M_PI * hz * double(i) / rate)));
        return writeWav(path, samples.data(), qsizetype(samples.size()), rate);
    }

    static bool writeWav(const QString& path, const qint16* samples, qsizetype count, int rate)
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        const quint32 bytes = quint32(count * 2);
        QByteArray h;
        QDataStream s(&h, QIODevice::WriteOnly);
        s.setByteOrder(QDataStream::LittleEndian);
        s.writeRawData("RIFF", 4);
        s << quint32(36 + bytes);
        s.writeRawData("WAVEfmt ", 8);
        s << quint32(16) << quint16(1) << quint16(1) << quint32(rate) << quint32(rate * 2) << quint16(2)
          << quint16(16);
        s.writeRawData("data", 4);
        s << bytes;
        f.write(h);
        for (qsizetype i = 0; i < count; ++i) {
            const qint16 le = qToLittleEndian(samples[i]);
            f.write(reinterpret_cast<const char*>(&le), 2);
        }
        return f.error() == QFile::NoError;
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QProcess m_server;
    QList<QProcess*> m_players;
};
