#pragma once

class QTextBlock;
class QTextDocument;

// Lines beside inline pictures. A picture too wide for what is left of a
// line moves to the next line; Qt's line breaking would still give the line
// it leaves the picture's height, its words floating in an empty band. Here
// the spaces before such a picture end the line themselves (a format of
// the paragraph's layout only, never of its text), so the line keeps its
// own height, on screen and in print alike.
namespace WPPictureLines {

// Lays `block` out again where a picture moves to the next line, after
// undoing what an earlier call did there (the text or the width may have
// changed). True when the paragraph's lines changed.
bool settle(const QTextBlock& block);

// settle() for every paragraph with a picture between the positions `from`
// and `to` of `document` (to its end when `to` is negative).
bool settleRange(QTextDocument& document, int from = 0, int to = -1);

} // namespace WPPictureLines
