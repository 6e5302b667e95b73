#include "wordproc/WPLinks.h"

#include "wordproc/WPCommands.h"
#include "wordproc/WPText.h"

#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

namespace WPLinks {

QString addressOf(const QString& word, int* length)
{
    static const QRegularExpression address(
        QStringLiteral("^(?:(https?://)[^\\s/?#]+\\.[^\\s]*[^\\s]|(www\\.)[^\\s/?#]+\\.[^\\s]+)$"),
        QRegularExpression::CaseInsensitiveOption);
    QString w = word;
    // Punctuation that ends a sentence or closes a bracket is not the address's.
    while (!w.isEmpty() && QStringLiteral(".,;:!?)]}\"'\u2019\u201D>").contains(w.back()))
        w.chop(1);
    if (w.size() > 2048 || !address.match(w).hasMatch())
        return {};
    const QString href = w.startsWith(QLatin1String("www."), Qt::CaseInsensitive) ? QStringLiteral("https://") + w : w;
    const QUrl url(href, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return {};
    if (length)
        *length = int(w.size());
    return href;
}

bool detectBefore(QTextDocument* document, int end)
{
    if (!document || end <= 0)
        return false;
    const QTextBlock block = document->findBlock(end - 1);
    const QString text = block.text();
    const int inBlock = end - block.position();
    if (inBlock > text.size())
        return false;
    int start = inBlock;
    while (start > 0 && !text.at(start - 1).isSpace())
        --start;
    int length = 0;
    const QString href = addressOf(text.mid(start, inBlock - start), &length);
    if (href.isEmpty())
        return false;
    const int from = block.position() + start;
    if (WPCommands::formatAt(document, from).isAnchor())
        return false;
    QTextCursor c(document);
    c.setPosition(from);
    c.setPosition(from + length, QTextCursor::KeepAnchor);
    WPCommands::changeChars(c, {WPCommands::Range{from, from + length}}, [&](QTextCharFormat& f) {
        f.setAnchor(true);
        f.setAnchorHref(href);
        f.setForeground(QColor(0, 0x57, 0xD9));
        f.setFontUnderline(true);
        f.setProperty(WPText::UnderlineStyle, int(WPText::StyleSingle));
    });
    return true;
}

} // namespace WPLinks
