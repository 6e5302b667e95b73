// Start-up benchmark: time from exec to the first painted frame of the
// windowed program under Xvfb, median of repeated runs, beside the same
// figure for a bare Qt window; and the resident memory of the idle program.
//
// Runs itself under xvfb-run when there is no display.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

struct Run {
    double ms = -1;
    qint64 rssKiB = -1;
};

qint64 rssOf(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

Run runOnce(const QString& exe, const QStringList& args, const QString& dataDir, bool measureIdle)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BW_STARTUP_PROBE"), QStringLiteral("1"));
    env.insert(QStringLiteral("VEXO_BW_DATA_DIR"), dataDir);
    env.insert(QStringLiteral("HOME"), dataDir);
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(exe, args);
    Run r;
    while (p.waitForReadyRead(10000)) {
        if (p.readAll().contains("painted")) {
            r.ms = double(t.nsecsElapsed()) / 1e6;
            break;
        }
    }
    if (measureIdle && r.ms >= 0) {
        QThread::msleep(1500);
        r.rssKiB = rssOf(p.processId());
    }
    p.kill();
    p.waitForFinished();
    return r;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && !qEnvironmentVariableIsSet("BW_BENCH_NO_XVFB")) {
        setenv("BW_BENCH_NO_XVFB", "1", 1);
        std::vector<char*> args{const_cast<char*>("xvfb-run"), const_cast<char*>("-a"), argv[0]};
        for (int i = 1; i < argc; ++i)
            args.push_back(argv[i]);
        args.push_back(nullptr);
        execvp("xvfb-run", args.data());
        std::perror("xvfb-run");
        return 1;
    }
    QCoreApplication app(argc, argv);
    const int runs = 9;
    std::vector<double> program, bare;
    qint64 rss = -1;
    for (int i = 0; i < runs; ++i) {
        QTemporaryDir dir;
        // Open one tool so a full tool window is part of the first frame.
        const Run r = runOnce(QStringLiteral(BW_EXE), {}, dir.path(), i == runs - 1);
        if (r.ms >= 0)
            program.push_back(r.ms);
        if (r.rssKiB >= 0)
            rss = r.rssKiB;
        const Run b = runOnce(QStringLiteral(BARE_EXE), {}, dir.path(), false);
        if (b.ms >= 0)
            bare.push_back(b.ms);
    }
    const double pm = median(program), bm = median(bare);
    QTextStream out(stdout);
    out << "first painted frame, median of " << runs << " runs\n";
    out << "  brindleworks: " << pm << " ms\n";
    out << "  bare Qt window (floor): " << bm << " ms\n";
    if (pm > 0 && bm > 0)
        out << "  ratio: " << pm / bm << "\n";
    out << "idle resident memory: " << rss / 1024.0 << " MiB\n";
    return pm > 0 ? 0 : 1;
}
