#include "selftest/Snapshots.h"

#include <QMap>

namespace Snapshots {

namespace {
QMap<QString, std::function<void()>>& writers()
{
    static QMap<QString, std::function<void()>> map;
    return map;
}
} // namespace

Sample::Sample(const char* name, std::function<void()> write)
{
    writers().insert(QString::fromUtf8(name), std::move(write));
}

void writeSamples()
{
    for (const auto& w : std::as_const(writers()))
        w();
}

} // namespace Snapshots
