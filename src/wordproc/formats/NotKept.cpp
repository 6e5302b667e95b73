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

void countVariants(QMap<QString, int>& counts, const QString& kind, const QString& main, const QString& first,
                   const QString& even)
{
    const QString shown = main.simplified();
    if (!first.simplified().isEmpty() && !shown.isEmpty() && first.simplified() != shown)
        ++counts[QStringLiteral("first-page ") + kind];
    if (!even.simplified().isEmpty() && even.simplified() != (shown.isEmpty() ? first.simplified() : shown))
        ++counts[QStringLiteral("even-page ") + kind];
}

} // namespace NotKept
