#include "ProbeRun.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace ProbeRun {

Result run(const QString& exe, const QString& clickTool)
{
    QTemporaryDir dir;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BW_STARTUP_PROBE"), QStringLiteral("1"));
    if (!clickTool.isEmpty())
        env.insert(QStringLiteral("BW_STARTUP_PROBE_CLICK"), clickTool);
    env.insert(QStringLiteral("VEXO_BW_DATA_DIR"), dir.path());
    env.insert(QStringLiteral("HOME"), dir.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path() + QStringLiteral("/config"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(exe, {});
    Result r;
    double click = -1, lastFrame = -1;
    int mappedCount = 0;
    QByteArray pending;
    bool done = false;
    while (!done && p.waitForReadyRead(15000)) {
        const double now = double(t.nsecsElapsed()) / 1e6;
        pending += p.readAll();
        qsizetype nl;
        while ((nl = pending.indexOf('\n')) >= 0) {
            const QByteArray line = pending.left(nl).trimmed();
            pending.remove(0, nl + 1);
            if (line == "mapped") {
                ++mappedCount;
                if (mappedCount == 1)
                    r.mapped = now;
                else if (click >= 0 && r.clickMapped < 0)
                    r.clickMapped = now - click;
            } else if (line == "painted") {
                lastFrame = now;
            } else if (line == "click") {
                r.settled = lastFrame;
                click = now;
            } else if (line.startsWith("rss ")) {
                r.rssMiB = line.mid(4).toDouble() / 1024.0;
            } else if (line == "done") {
                if (click >= 0)
                    r.clickSettled = lastFrame - click;
                else
                    r.settled = lastFrame;
                done = true;
            }
        }
    }
    p.kill();
    p.waitForFinished();
    return r;
}

void ensureDisplay(int argc, char** argv)
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || qEnvironmentVariableIsSet("BW_BENCH_NO_XVFB"))
        return;
    setenv("BW_BENCH_NO_XVFB", "1", 1);
    std::vector<char*> args{const_cast<char*>("xvfb-run"), const_cast<char*>("-a"), argv[0]};
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    execvp("xvfb-run", args.data());
    std::perror("xvfb-run");
    std::exit(1);
}

double median(std::vector<double> v)
{
    v.erase(std::remove_if(v.begin(), v.end(), [](double x) { return x < 0; }), v.end());
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

} // namespace ProbeRun
