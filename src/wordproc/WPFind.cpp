#include "wordproc/WPFind.h"

#include <QTextCursor>

#include <limits>

namespace WPFind {

WPCommands::Ranges findAll(const QTextDocument& document, const QString& needle, QTextDocument::FindFlags flags,
                           int limit)
{
    WPCommands::Ranges found;
    if (needle.isEmpty())
        return found;
    flags &= ~QTextDocument::FindBackward;
    QTextCursor at(const_cast<QTextDocument*>(&document));
    while (found.size() < limit) {
        at = document.find(needle, at, flags);
        if (at.isNull())
            break;
        found.append({at.selectionStart(), at.selectionEnd()});
    }
    return found;
}

QTextCursor findNext(const QTextDocument& document, const QString& needle, const QTextCursor& from,
                     QTextDocument::FindFlags flags)
{
    if (needle.isEmpty())
        return {};
    QTextCursor start = from;
    if (start.isNull())
        start = QTextCursor(const_cast<QTextDocument*>(&document));
    QTextCursor hit = document.find(needle, start, flags);
    if (hit.isNull()) {
        QTextCursor wrap(const_cast<QTextDocument*>(&document));
        if (flags & QTextDocument::FindBackward)
            wrap.movePosition(QTextCursor::End);
        hit = document.find(needle, wrap, flags);
    }
    return hit;
}

int replaceAll(QTextDocument* document, const QString& needle, const QString& replacement,
               QTextDocument::FindFlags flags)
{
    if (!document || needle.isEmpty())
        return 0;
    const WPCommands::Ranges ranges = findAll(*document, needle, flags, std::numeric_limits<int>::max());
    if (ranges.isEmpty())
        return 0;
    QTextCursor edit(document);
    edit.beginEditBlock();
    // From the end, so earlier positions stay valid.
    for (auto it = ranges.crbegin(); it != ranges.crend(); ++it) {
        edit.setPosition(it->start);
        edit.setPosition(it->end, QTextCursor::KeepAnchor);
        edit.insertText(replacement, WPCommands::withoutPicture(WPCommands::formatAt(document, it->start)));
    }
    edit.endEditBlock();
    return int(ranges.size());
}

} // namespace WPFind
