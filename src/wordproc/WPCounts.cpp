#include "wordproc/WPCounts.h"

#include <QTextBoundaryFinder>
#include <QTextDocument>

#include <cmath>

namespace WPCounts {

int words(const QString& text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
    int count = 0;
    while (finder.toNextBoundary() >= 0) {
        if (finder.boundaryReasons() & QTextBoundaryFinder::EndOfItem)
            ++count;
    }
    return count;
}

int characters(const QString& text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (finder.toNextBoundary() > 0)
        ++count;
    return count;
}

qreal usableHeight(const WPPageSetup& setup)
{
    const qreal usable = setup.paperSize.height() - setup.topMargin - setup.bottomMargin;
    return std::isfinite(usable) ? std::max<qreal>(usable, 72) : 72;
}

int pages(qreal height, const WPPageSetup& setup)
{
    if (!std::isfinite(height) || height <= 0)
        return 1;
    const qreal n = std::ceil(height / usableHeight(setup) - 1e-9);
    if (n >= 1e9)
        return 1000000000;
    return std::max(1, int(n));
}

QString plainText(const QTextDocument& document)
{
    return document.toPlainText();
}

} // namespace WPCounts
