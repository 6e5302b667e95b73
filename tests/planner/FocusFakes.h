#pragma once

#include "core/Store.h"
#include "planner/FocusModel.h"

#include <QDateTime>
#include <QFile>
#include <QList>
#include <QTimeZone>

// A hand-set clock, a notification list and a sound counter standing in for
// the outside world of the focus model.
struct FocusFakes {
    QDateTime now = QDateTime(QDate(2026, 3, 14), QTime(9, 0), Qt::UTC);
    QList<FocusNotification> posted;
    int sounds = 0;

    FocusModel::Services services()
    {
        FocusModel::Services s;
        s.now = [this] { return now; };
        s.notify = [this](const FocusNotification& n) { posted.append(n); };
        s.playSound = [this] { ++sounds; };
        return s;
    }
    void advance(double seconds) { now = now.addMSecs(qint64(seconds * 1000)); }
};

inline void writeFocusFile(const QByteArray& json)
{
    QFile f(Store::path(FocusModel::fileName()));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(json);
}

inline std::optional<FocusModel::Saved> readFocusFile()
{
    const std::optional<QJsonValue> v = Store::read(FocusModel::fileName());
    return v ? FocusModel::Saved::fromJson(*v) : std::nullopt;
}

inline bool focusFileExists()
{
    return QFile::exists(Store::path(FocusModel::fileName()));
}
