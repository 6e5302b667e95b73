#include "core/RunMode.h"

#include "core/Json.h"

#include <QDir>
#include <QUuid>

RunMode RunMode::choose(const QStringList& arguments)
{
    RunMode mode;
    if (arguments.contains(QStringLiteral("--selftest"))) {
        mode.kind = selfTest;
        return mode;
    }
    const qsizetype i = arguments.indexOf(QStringLiteral("--snapshots"));
    if (i >= 0 && i + 1 < arguments.size()) {
        mode.kind = snapshots;
        mode.snapshotFolder = arguments.at(i + 1);
    }
    return mode;
}

QString RunMode::throwAwayFolder(Kind kind)
{
    const QString prefix = kind == snapshots ? QStringLiteral("VEXO-Brindleworks-snapshots-")
                                             : QStringLiteral("VEXO-Brindleworks-selftest-");
    return QDir::tempPath() + QLatin1Char('/') + prefix + Json::fromUuid(QUuid::createUuid());
}
