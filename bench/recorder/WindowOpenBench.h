#pragma once

// Opening a tool window over a long list, as a user sees it: each run is a
// fresh process (so nothing is warm from the run before) on a real X server
// (Xvfb, started through xvfb-run, when DISPLAY is unset). The child builds
// the window, shows it and runs until its last frame has settled; it prints
// the time from building the window to the end of that frame (painted, sent
// and taken in by the X server) and its resident memory.
// The parent runs the empty window (the floor) and the long list in turn and
// compares medians. The child's side is WindowOpenChild.h.

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <vector>

namespace WindowOpenBench {

struct Sample {
    double ms = -1;     // building the window -> its last frame settled
    double rssMiB = -1; // resident memory then
};


// Parent side: one run of the child `exe` with `environment` added.
inline Sample run(const QString& exe, const QStringList& environment)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    for (const QString& kv : environment)
        env.insert(kv.section(QLatin1Char('='), 0, 0), kv.section(QLatin1Char('='), 1));
    p.setProcessEnvironment(env);
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        p.start(QStringLiteral("xvfb-run"),
                {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1280x1024x24"), exe});
    else
        p.start(exe, {});
    if (!p.waitForFinished(180000))
        p.kill();
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QRegularExpressionMatch m
        = QRegularExpression(QStringLiteral("ms=([0-9.\\-]+) rss_mib=([0-9.\\-]+)")).match(out);
    if (!m.hasMatch())
        return {};
    return {m.captured(1).toDouble(), m.captured(2).toDouble()};
}

inline double median(std::vector<double> v)
{
    v.erase(std::remove_if(v.begin(), v.end(), [](double x) { return x < 0; }), v.end());
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Comparison {
    double ms = -1, floorMs = -1, rssMiB = -1, floorRssMiB = -1;
    double ratio() const { return floorMs > 0 ? ms / floorMs : -1; }
    double rssDeltaMiB() const { return rssMiB - floorRssMiB; }
};

// `runs` interleaved pairs: the floor's environment, then the list's.
inline Comparison compare(const QString& exe, const QStringList& floorEnv, const QStringList& listEnv, int runs)
{
    std::vector<double> fMs, fRss, lMs, lRss;
    for (int i = 0; i < runs; ++i) {
        const Sample f = run(exe, floorEnv);
        const Sample l = run(exe, listEnv);
        fMs.push_back(f.ms);
        fRss.push_back(f.rssMiB);
        lMs.push_back(l.ms);
        lRss.push_back(l.rssMiB);
    }
    return {median(lMs), median(fMs), median(lRss), median(fRss)};
}

// How many runs of each: BW_BENCH_RUNS, else `fallback`.
inline int runs(int fallback)
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("BW_BENCH_RUNS", &ok);
    return ok && n > 0 ? n : fallback;
}

// The child program beside the running benchmark.
inline QString sibling(const QString& name)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
}

} // namespace WindowOpenBench
