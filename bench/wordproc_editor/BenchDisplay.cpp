#include "BenchDisplay.h"

#include <QByteArray>
#include <QFileInfo>
#include <QString>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

pid_t g_server = 0;

void stopServer()
{
    if (g_server <= 0)
        return;
    kill(g_server, SIGTERM);
    waitpid(g_server, nullptr, 0);
    g_server = 0;
}

bool taken(int n)
{
    return QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n))
        || QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n));
}

// Starts Xvfb on display `n`; true once it accepts connections.
bool startServer(int n)
{
    const QByteArray display = ":" + QByteArray::number(n);
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM); // never outlives the benchmark
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        execlp("Xvfb", "Xvfb", display.constData(), "-screen", "0", "1920x1200x24", "-nolisten", "tcp",
               "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(n);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return false; // gave up (display taken meanwhile, or no Xvfb)
        if (QFileInfo::exists(socket)) {
            g_server = pid;
            std::atexit(stopServer);
            setenv("DISPLAY", display.constData(), 1);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return false;
}

} // namespace

void BenchDisplay::ensure()
{
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    for (int n = 90; n < 190; ++n) {
        if (!taken(n) && startServer(n)) {
            std::fprintf(stderr, "Windows are shown on a private Xvfb, display :%d\n", n);
            return;
        }
    }
    std::fprintf(stderr, "No X server: set DISPLAY or install Xvfb\n");
    std::exit(1);
}
