#include "ProbeRun.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QHash>
#include <QRect>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <poll.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

namespace ProbeRun {

namespace {

// Quiet this long after the last paint: settled. Shorter than a caret's
// half period (500 ms), so a blink never extends a window's paint.
constexpr double kQuietMs = 400;
constexpr double kGiveUpMs = 15000;
// Damage no wider than this is a caret being drawn or erased.
constexpr int kCaretWidth = 3;
// A window quiet this long has its picture kept: a later paint counts only
// where it changes what the window shows (a repaint of the same pixels is
// not something a user sees).
constexpr double kSnapshotAfterMs = 100;

// The benchmark's own connection to the X server, watching every window
// the measured process maps.
class Watcher {
public:
    Watcher()
    {
        m_c = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_c)) {
            std::fprintf(stderr, "no X server\n");
            std::exit(1);
        }
        const xcb_query_extension_reply_t* ext = xcb_get_extension_data(m_c, &xcb_damage_id);
        if (!ext || !ext->present) {
            std::fprintf(stderr, "the X server has no Damage extension\n");
            std::exit(1);
        }
        m_damageEvent = ext->first_event;
        free(xcb_damage_query_version_reply(m_c, xcb_damage_query_version(m_c, 1, 1), nullptr));
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        const char name[] = "_NET_WM_PID";
        xcb_intern_atom_reply_t* atom
            = xcb_intern_atom_reply(m_c, xcb_intern_atom(m_c, 0, sizeof name - 1, name), nullptr);
        m_pidAtom = atom ? atom->atom : XCB_NONE;
        free(atom);
        xcb_flush(m_c);
    }
    ~Watcher() { xcb_disconnect(m_c); }

    void follow(qint64 pid)
    {
        for (const xcb_damage_damage_t d : std::as_const(m_damages))
            xcb_damage_destroy(m_c, d);
        m_damages.clear();
        m_windows.clear();
        m_pid = pid;
        m_mapped.clear();
        m_lastPaint = -1;
        xcb_flush(m_c);
        // Drop what is left from the previous run.
        while (xcb_generic_event_t* e = xcb_poll_for_event(m_c))
            free(e);
    }

    // Handles the events that arrive within `waitMs`.
    void pump(const QElapsedTimer& clock, int waitMs)
    {
        pollfd p{xcb_get_file_descriptor(m_c), POLLIN, 0};
        ::poll(&p, 1, waitMs);
        QHash<xcb_window_t, QRect> toCheck;
        double batch = -1;
        while (xcb_generic_event_t* e = xcb_poll_for_event(m_c)) {
            const double now = double(clock.nsecsElapsed()) / 1e6;
            const uint8_t type = e->response_type & 0x7f;
            if (type == XCB_MAP_NOTIFY) {
                mapped(reinterpret_cast<xcb_map_notify_event_t*>(e)->window, now);
            } else if (type == m_damageEvent + XCB_DAMAGE_NOTIFY) {
                const auto* d = reinterpret_cast<xcb_damage_notify_event_t*>(e);
                static const bool trace = qEnvironmentVariableIsSet("BW_BENCH_TRACE");
                if (trace)
                    std::fprintf(stderr, "%8.1f ms  damage %ux%u+%d+%d of 0x%x\n", now, d->area.width,
                                 d->area.height, d->area.x, d->area.y, d->drawable);
                // A caret being drawn or erased is not the window being drawn.
                if (d->area.width > kCaretWidth) {
                    const QRect area(d->area.x, d->area.y, d->area.width, d->area.height);
                    Window& w = m_windows[d->drawable];
                    if (w.snapshot.isEmpty()) {
                        painted(w, now);
                    } else {
                        // Painted again after a quiet spell: counted only
                        // when something on screen changed.
                        toCheck[d->drawable] |= area;
                        batch = now;
                    }
                }
            }
            free(e);
        }
        for (auto it = toCheck.cbegin(); it != toCheck.cend(); ++it) {
            Window& w = m_windows[it.key()];
            if (changed(it.key(), w, it.value()))
                painted(w, batch);
        }
        // Windows quiet for a moment: keep what they show, to compare a
        // later paint with.
        const double now = double(clock.nsecsElapsed()) / 1e6;
        for (auto it = m_windows.begin(); it != m_windows.end(); ++it) {
            if (it->snapshot.isEmpty() && now - it->lastPaint >= kSnapshotAfterMs)
                snapshot(it.key(), *it);
        }
    }

    // Map times of the process's windows, in order.
    const std::vector<double>& mapTimes() const { return m_mapped; }
    double lastPaint() const { return m_lastPaint; }

private:
    struct Window {
        double lastPaint = -1;
        QRect geometry;      // of the snapshot
        QByteArray snapshot; // 32-bit pixels; empty: none (changing)
    };

    void painted(Window& w, double now)
    {
        w.lastPaint = now;
        w.snapshot.clear();
        m_lastPaint = std::max(m_lastPaint, now);
    }

    QByteArray image(xcb_window_t window, const QRect& r)
    {
        xcb_get_image_reply_t* reply = xcb_get_image_reply(
            m_c,
            xcb_get_image(m_c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, int16_t(r.x()), int16_t(r.y()),
                          uint16_t(r.width()), uint16_t(r.height()), ~0u),
            nullptr);
        QByteArray bytes;
        if (reply)
            bytes = QByteArray(reinterpret_cast<const char*>(xcb_get_image_data(reply)),
                               xcb_get_image_data_length(reply));
        free(reply);
        return bytes;
    }

    void snapshot(xcb_window_t window, Window& w)
    {
        xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(m_c, xcb_get_geometry(m_c, window), nullptr);
        if (!g)
            return;
        w.geometry = QRect(0, 0, g->width, g->height);
        free(g);
        w.snapshot = image(window, w.geometry);
    }

    // Whether `area` of the window differs from its snapshot (which it
    // then shows).
    bool changed(xcb_window_t window, Window& w, const QRect& area)
    {
        if (!w.geometry.contains(area))
            return true;
        const QByteArray now = image(window, area);
        const qsizetype stride = qsizetype(w.geometry.width()) * 4;
        const qsizetype row = qsizetype(area.width()) * 4;
        if (now.size() != row * area.height() || w.snapshot.size() != stride * w.geometry.height())
            return true;
        bool differs = false;
        for (int y = 0; y < area.height(); ++y) {
            char* old = w.snapshot.data() + (area.y() + y) * stride + qsizetype(area.x()) * 4;
            const char* fresh = now.constData() + y * row;
            if (std::memcmp(old, fresh, size_t(row)) != 0) {
                differs = true;
                std::memcpy(old, fresh, size_t(row));
            }
        }
        return differs;
    }

    bool ours(xcb_window_t w)
    {
        xcb_get_property_reply_t* r = xcb_get_property_reply(
            m_c, xcb_get_property(m_c, 0, w, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        bool yes = false;
        if (r && xcb_get_property_value_length(r) == 4)
            yes = *static_cast<const uint32_t*>(xcb_get_property_value(r)) == uint32_t(m_pid);
        free(r);
        return yes;
    }

    void mapped(xcb_window_t w, double now)
    {
        if (m_windows.contains(w) || !ours(w))
            return;
        m_windows.insert(w, Window{now, {}, {}});
        m_mapped.push_back(now);
        if (qEnvironmentVariableIsSet("BW_BENCH_TRACE"))
            std::fprintf(stderr, "%8.1f ms  mapped 0x%x\n", now, w);
        const xcb_damage_damage_t d = xcb_generate_id(m_c);
        xcb_damage_create(m_c, d, w, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
        m_damages.push_back(d);
        xcb_flush(m_c);
    }

    xcb_connection_t* m_c = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_pidAtom = XCB_NONE;
    uint8_t m_damageEvent = 0;
    qint64 m_pid = 0;
    QHash<xcb_window_t, Window> m_windows;
    std::vector<xcb_damage_damage_t> m_damages;
    std::vector<double> m_mapped;
    double m_lastPaint = -1;
};

Watcher& watcher()
{
    static Watcher w;
    return w;
}

// Waits until `done` holds or the time runs out; false when it ran out.
template <typename Done>
bool waitUntil(const QElapsedTimer& clock, double limitMs, Done done)
{
    Watcher& x = watcher();
    while (!done()) {
        if (double(clock.nsecsElapsed()) / 1e6 > limitMs)
            return false;
        x.pump(clock, 20);
    }
    return true;
}

// Waits until nothing has been painted for kQuietMs after `since`; the
// last paint (or `since`, when there was none).
double settle(const QElapsedTimer& clock, double since)
{
    Watcher& x = watcher();
    auto last = [&] { return std::max(since, x.lastPaint()); };
    waitUntil(clock, since + kGiveUpMs, [&] { return double(clock.nsecsElapsed()) / 1e6 - last() >= kQuietMs; });
    return last();
}

QByteArray procFile(qint64 pid, const char* name)
{
    QFile f(QStringLiteral("/proc/%1/%2").arg(pid).arg(QString::fromLatin1(name)));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

double residentMiB(qint64 pid)
{
    for (const QByteArray& line : procFile(pid, "status").split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

int sharedLibraries(qint64 pid)
{
    QSet<QByteArray> files;
    for (const QByteArray& line : procFile(pid, "maps").split('\n')) {
        const QByteArray path = line.mid(line.indexOf('/'));
        if (line.indexOf('/') > 0 && path.contains(".so"))
            files.insert(path);
    }
    return int(files.size());
}

} // namespace

Result run(const QString& exe, const Options& options)
{
    Watcher& x = watcher();
    QTemporaryDir dir;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BW_STARTUP_PROBE"), QStringLiteral("1"));
    env.insert(QStringLiteral("VEXO_BW_DATA_DIR"), dir.path());
    env.insert(QStringLiteral("HOME"), dir.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (!options.openAtStart.isEmpty())
        env.insert(QStringLiteral("VEXO_BW_OPEN"), options.openAtStart.join(QLatin1Char(',')));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    p.start(exe, {});
    if (!p.waitForStarted())
        return {};
    x.follow(p.processId());
    Result r;
    const size_t wanted = 1 + size_t(options.openAtStart.size());
    if (waitUntil(clock, kGiveUpMs, [&] { return x.mapTimes().size() >= wanted; })) {
        r.mapped = x.mapTimes().front();
        r.settled = settle(clock, x.mapTimes().back());
        if (!options.clickTool.isEmpty()) {
            const size_t before = x.mapTimes().size();
            const double click = double(clock.nsecsElapsed()) / 1e6;
            p.write("click " + options.clickTool.toUtf8() + '\n');
            p.waitForBytesWritten();
            if (waitUntil(clock, click + kGiveUpMs, [&] { return x.mapTimes().size() > before; })) {
                r.clickMapped = x.mapTimes().back() - click;
                r.clickSettled = settle(clock, x.mapTimes().back()) - click;
            }
        }
        r.rssMiB = residentMiB(p.processId());
        r.libraries = sharedLibraries(p.processId());
    }
    // Asked to quit as a session would end it, so it takes its
    // single-instance socket with it (a killed program leaves one per run).
    p.terminate();
    if (!p.waitForFinished(3000)) {
        p.kill();
        p.waitForFinished();
    }
    return r;
}

void ensureDisplay(int argc, char** argv)
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || qEnvironmentVariableIsSet("BW_BENCH_NO_XVFB"))
        return;
    // A server of our own: "-a" picks a free display number.
    setenv("BW_BENCH_NO_XVFB", "1", 1);
    std::vector<char*> args{const_cast<char*>("xvfb-run"), const_cast<char*>("-a"),
                            const_cast<char*>("-s"), const_cast<char*>("-screen 0 1920x1080x24"), argv[0]};
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    execvp("xvfb-run", args.data());
    std::perror("xvfb-run");
    std::exit(1);
}

QString program(const QString& built)
{
    const QString other = qEnvironmentVariable("BW_BENCH_EXE");
    return other.isEmpty() ? built : other;
}

int runs(int fallback)
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("BW_BENCH_RUNS", &ok);
    return ok && n > 0 ? n : fallback;
}

double median(std::vector<double> v)
{
    v.erase(std::remove_if(v.begin(), v.end(), [](double x) { return x < 0; }), v.end());
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

QString row(const QString& what, double value, double floor, const QString& unit, double target)
{
    QString s = QStringLiteral("  %1: %2 %3, floor %4 %3").arg(what.leftJustified(44))
                    .arg(value, 0, 'f', 1).arg(unit).arg(floor, 0, 'f', 1);
    if (value > 0 && floor > 0)
        s += QStringLiteral(", ratio %1").arg(value / floor, 0, 'f', 2);
    if (target > 0)
        s += QStringLiteral(" (target <= %1)").arg(target, 0, 'f', 1);
    return s;
}

} // namespace ProbeRun
