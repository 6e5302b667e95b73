#include "wordproc/WPCounts.h"

#include <QTextBlock>
#include <QTextBlockUserData>
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

namespace {

// A paragraph's counts as of its revision.
class BlockCounts : public QTextBlockUserData {
public:
    int revision = -1;
    int length = -1;
    int words = 0;
    int characters = 0;
};

} // namespace

Totals count(const QTextDocument& document)
{
    Totals totals;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        auto* cached = dynamic_cast<BlockCounts*>(b.userData());
        if (!cached || cached->revision != b.revision() || cached->length != b.length()) {
            if (!cached) {
                cached = new BlockCounts;
                QTextBlock(b).setUserData(cached);
            }
            const QString text = b.text();
            cached->revision = b.revision();
            cached->length = b.length();
            cached->words = words(text);
            cached->characters = characters(text);
        }
        totals.words += cached->words;
        totals.characters += cached->characters;
        // The line break between paragraphs is one character.
        if (b.next().isValid())
            totals.characters += 1;
    }
    return totals;
}

QString plainText(const QTextDocument& document)
{
    return document.toPlainText();
}

} // namespace WPCounts
