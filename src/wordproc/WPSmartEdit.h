#pragma once

#include <QChar>
#include <QString>

class QTextCursor;

// Smart insert and delete, and where typing starts a new undo step: the
// word processor edits words, not just characters.
namespace WPSmartEdit {

// A selection of whole words (as a double-click makes) that is about to be
// deleted takes one space next to it along, so no double space or space
// before punctuation is left behind. Returns whether the selection grew.
bool widenForDelete(QTextCursor& cursor);

// The spaces `pasted` needs at the cursor so that it does not run into the
// words around it: " " before and/or after, or nothing.
struct Spaces {
    bool before = false;
    bool after = false;
};
Spaces spacesForPaste(const QTextCursor& cursor, const QString& pasted);

// Whether typing `typed` right after `before` starts a new undo step: after
// a pause, at the first letter of a new word, or after any other change.
bool startsUndoStep(QChar typed, QChar before, qint64 msSinceLastTyping, bool changedSince);

// Return outside a list, as one undo step: the selection goes, the
// paragraph is split and the new one keeps its paragraph format (alignment,
// spacing, indents) and types on in the format typed before it, which is
// also what an empty paragraph shows. An empty paragraph is split like any
// other: Return never resets a format on its own.
void breakParagraph(QTextCursor& cursor);

// How long a pause in typing ends an undo step.
inline constexpr qint64 kPauseMs = 1000;

} // namespace WPSmartEdit
