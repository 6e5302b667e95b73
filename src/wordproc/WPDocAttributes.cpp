#include "wordproc/WPDocAttributes.h"

#include <QStringList>

namespace WPHeaderFooter {

std::optional<QString> encode(const QString& header, const QString& footer)
{
    if (header.isEmpty() && footer.isEmpty())
        return std::nullopt;
    return kMarker + kSeparator + header + kSeparator + footer;
}

std::optional<std::pair<QString, QString>> decode(const QString& comment)
{
    const QString prefix = kMarker + kSeparator;
    if (!comment.startsWith(prefix))
        return std::nullopt;
    const QStringList pieces = comment.mid(prefix.size()).split(kSeparator);
    return std::pair<QString, QString>{pieces.value(0), pieces.value(1)};
}

QString sanitize(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == kSeparator)
            continue;
        out.append(c == QChar(0x2016) ? QChar(0x2225) : c);
    }
    return out;
}

void countVariants(QMap<QString, int>& notKept, const QString& kind, const QString& main, const QString& first,
                   const QString& even)
{
    const QString shown = main.simplified().isEmpty() ? first.simplified() : main.simplified();
    if (!main.simplified().isEmpty() && !first.simplified().isEmpty() && first.simplified() != shown)
        ++notKept[QStringLiteral("first-page ") + kind];
    if (!even.simplified().isEmpty() && even.simplified() != shown)
        ++notKept[QStringLiteral("even-page ") + kind];
}

} // namespace WPHeaderFooter
