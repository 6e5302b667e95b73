#include "wordproc/WPPictureLines.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace WPPictureLines {

namespace {

// Marks the layout formats put in here.
constexpr int kLineEnd = QTextFormat::UserProperty + 0x5E1;

// Wider than any line: the spaces carrying it end their line at once,
// before the line breaking reaches the picture after them.
constexpr qreal kEndingSpace = 1e6;

bool hasPicture(const QString& text)
{
    return text.contains(QChar::ObjectReplacementCharacter);
}

void layOutAgain(const QTextBlock& block)
{
    QTextDocument* doc = const_cast<QTextDocument*>(block.document());
    doc->markContentsDirty(block.position(), block.length());
    doc->documentLayout()->blockBoundingRect(block);
}

} // namespace

bool settle(const QTextBlock& block)
{
    if (!block.isValid() || !block.layout() || !block.document())
        return false;
    const QString text = block.text();
    QTextLayout* layout = block.layout();
    QList<QTextLayout::FormatRange> formats = layout->formats();
    const auto ours = [](const QTextLayout::FormatRange& r) { return r.format.hasProperty(kLineEnd); };
    const bool had = std::any_of(formats.cbegin(), formats.cend(), ours);
    if (!hasPicture(text) && !had)
        return false;
    if (had) {
        formats.erase(std::remove_if(formats.begin(), formats.end(), ours), formats.end());
        layout->setFormats(formats);
        layOutAgain(block);
    } else {
        block.document()->documentLayout()->blockBoundingRect(block);
    }
    // Where a line ends at the spaces before a picture, the picture did
    // not fit after them.
    QList<QTextLayout::FormatRange> ends;
    for (int i = 1; i < layout->lineCount(); ++i) {
        const int start = layout->lineAt(i).textStart();
        if (start > 0 && start < text.size() && text.at(start) == QChar::ObjectReplacementCharacter
            && text.at(start - 1) == QLatin1Char(' ')) {
            QTextLayout::FormatRange end;
            end.start = start - 1;
            end.length = 1;
            end.format.setFontWordSpacing(kEndingSpace);
            end.format.setProperty(kLineEnd, true);
            ends.append(end);
        }
    }
    if (ends.isEmpty())
        return had;
    layout->setFormats(formats + ends);
    layOutAgain(block);
    return true;
}

bool settleRange(QTextDocument& document, int from, int to)
{
    bool changed = false;
    const int last = to < 0 ? document.characterCount() : to;
    for (QTextBlock b = document.findBlock(std::max(0, from)); b.isValid() && b.position() <= last; b = b.next())
        changed = settle(b) || changed;
    return changed;
}

} // namespace WPPictureLines
