#include "TestEnvironment.h"

#include "core/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <csignal>
#include <cstdlib>
#include <sys/resource.h>
#include <filesystem>
#include <string>

namespace {

std::string& root()
{
    static std::string r;
    return r;
}

struct Setup {
    Setup()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "bw-test-XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            std::abort();
        root() = tmpl;
        const std::string home = tmpl + "/home";
        const std::string data = tmpl + "/data";
        std::filesystem::create_directories(home);
        setenv("HOME", home.c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_DATA_HOME");
        setenv("VEXO_BW_DATA_DIR", data.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        unsetenv("VEXO_BW_OPEN");
        QStandardPaths::setTestModeEnabled(true);
        SettingsStore::redirectTo(QString::fromStdString(tmpl + "/settings.json"));
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(root(), ec);
        });
    }
};

const Setup setup;

} // namespace

namespace TestEnvironment {

QString dataFolder()
{
    return QString::fromStdString(root() + "/data");
}

void clearDataFolder()
{
    QDir dir(dataFolder());
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& f : entries)
        dir.remove(f);
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeState(const QString& name, const QByteArray& data)
{
    QDir().mkpath(dataFolder());
    QFile f(dataFolder() + QLatin1Char('/') + name);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

QByteArray readState(const QString& name)
{
    return contents(dataFolder() + QLatin1Char('/') + name);
}

FullDisk::FullDisk(unsigned long bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = {};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_previous = limit.rlim_cur;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FullDisk::~FullDisk()
{
    rlimit limit = {};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = m_previous;
    setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace TestEnvironment
