#pragma once

#include "wordproc/WPCommands.h"

#include <QString>
#include <QTextDocument>

class QTextCursor;

// Finding and replacing plain text in a document, for the find bar.
namespace WPFind {

// Every match of `needle`, in order, at most `limit` of them.
WPCommands::Ranges findAll(const QTextDocument& document, const QString& needle,
                           QTextDocument::FindFlags flags = {}, int limit = 10000);
// The next match after `from`'s selection (or before it, with
// FindBackward), wrapping around the document; a null cursor when none.
QTextCursor findNext(const QTextDocument& document, const QString& needle, const QTextCursor& from,
                     QTextDocument::FindFlags flags = {});
// Replaces every match, as one undo step; the number replaced.
int replaceAll(QTextDocument* document, const QString& needle, const QString& replacement,
               QTextDocument::FindFlags flags = {});

} // namespace WPFind
