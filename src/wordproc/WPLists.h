#pragma once

#include "wordproc/WPText.h"

#include <QString>

class QTextBlock;
class QTextBlockFormat;
class QTextCursor;

// Bulleted and numbered paragraphs. A list paragraph starts with its marker
// as plain text (a tab, "•" or "n.", a tab), hangs 36 points in with tab
// stops at 11 and 36 points, and says its kind in the block format.
namespace WPLists {

// The marker text between the two tabs of item `number` (1-based).
QString marker(WPText::ListKindValue kind, int number);
// The whole marker run: tab, marker, tab.
QString markerRun(WPText::ListKindValue kind, int number);
WPText::ListKindValue kindOf(const QTextBlockFormat& format);
// The block format of a list paragraph of `kind`, or of a plain one (None).
void makeListParagraph(QTextBlockFormat& format, WPText::ListKindValue kind);
// Length of the old marker run at the start of `block` (0 when none): a tab,
// at most 12 characters, a tab, in a paragraph that is in a list.
int oldMarkerLength(const QTextBlock& block);

// Turns the selected paragraphs into a list of `kind`, numbered from 1, or,
// when every one of them already is such a list, back into plain
// paragraphs. One undo step; the caret ends at the end of the last
// paragraph. An empty last paragraph gets the marker of item 1.
void toggleList(QTextCursor& cursor, WPText::ListKindValue kind);

// Return at the insertion point of a list paragraph, as one undo step: the
// paragraph is split and the new one starts with the next marker (numbers
// after it count on); in an item holding nothing but its marker the marker
// goes and the paragraph leaves the list instead. False, and nothing
// changed, outside a list, with a selection, or with the insertion point
// inside the marker: Return is then an ordinary paragraph break.
bool returnInList(QTextCursor& cursor);

} // namespace WPLists
