#include "wordproc/formats/NotKept.h"

#include <QStringList>

namespace NotKept {

QString notice(const QMap<QString, int>& counts)
{
    QStringList parts;
    int total = 0;
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it) {
        if (it.value() <= 0 || it.key().isEmpty())
            continue;
        total += it.value();
        parts << QStringLiteral("%1 %2%3").arg(it.value()).arg(it.key()).arg(it.value() == 1 ? QString() : QStringLiteral("s"));
    }
    if (parts.isEmpty())
        return QString();
    QString list = parts.takeLast();
    if (!parts.isEmpty())
        list = parts.join(QStringLiteral(", ")) + QStringLiteral(" and ") + list;
    return QStringLiteral("This document has %1 that the word processor does not keep; saving it will leave %2 out.")
        .arg(list, total == 1 ? QStringLiteral("it") : QStringLiteral("them"));
}

} // namespace NotKept
