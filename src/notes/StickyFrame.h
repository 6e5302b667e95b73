#pragma once

#include <QList>
#include <QRectF>
#include <QString>

// What the note windows need to know of the screens, in the window system's
// coordinates (origin at the top-left of the virtual desktop, y downwards).
struct StickyScreens {
    QRectF primary;           // the primary screen's whole area
    QRectF mainVisible;       // the main screen less panels and docks
    QList<QRectF> available;  // every screen less panels and docks

    bool isKnown() const { return !primary.isEmpty(); }
};

// The note windows' frames. A note keeps its frame as text, "{{x, y}, {w, h}}",
// with the origin at the bottom-left of the primary screen and y growing
// upwards; the window system puts the origin at the top-left and y grows
// downwards. The conversion happens here and nowhere else.
namespace StickyFrame {

constexpr qreal kWidth = 320;
constexpr qreal kHeight = 300;
constexpr qreal kMinStoredWidth = 160;
constexpr qreal kMinStoredHeight = 120;
constexpr qreal kCascadeStep = 28;
constexpr int kCascadeCycle = 8;
// The strip at the top of a note window that moves it when dragged.
constexpr qreal kHeaderHeight = 28;

// "{{x, y}, {w, h}}", numbers in their shortest exact form.
QString toText(const QRectF& rect);
// The first four numbers of `text` as x, y, width, height; missing numbers
// are zero, so empty or unparsable text gives a zero rectangle. Numbers
// beyond any screen (or not finite) give a zero rectangle too.
QRectF fromText(const QString& text);

// Stored (bottom-left origin) <-> window system (top-left origin), given the
// primary screen's area in window-system coordinates.
QRectF toScreen(const QRectF& stored, const QRectF& primary);
QRectF fromScreen(const QRectF& window, const QRectF& primary);

// Where a window goes when its stored frame is too small: x 200, y 300,
// 320 x 300 (stored coordinates).
QRectF fallback();

// The frame of a new note when `existing` notes are already listed, in
// stored coordinates, given the main screen's visible area in stored
// coordinates: centred across, cascading 28 right and 28 down per note,
// starting again after eight, and kept wholly inside the visible area
// (pushed in from the edges; on an area too small for the window its
// top-left corner stays visible).
QRectF cascade(const QRectF& visible, qsizetype existing);

// Whether enough of `window` (window-system coordinates) lies on one of
// `available` to be seen and dragged back.
bool reachable(const QRectF& window, const QList<QRectF>& available);

// `window` moved up or down just enough that its header strip lies on the
// screen it covers most, when no screen shows enough of the header to drag
// it by; unchanged otherwise (and where it covers no screen).
QRectF withHeaderOnScreen(const QRectF& window, const QList<QRectF>& available);

// The window-system rectangle a note window opens at: the stored frame, or
// the fallback when it is smaller than 160 x 120 or lies off every screen;
// either with its header brought on screen.
QRectF placement(const QString& stored, const StickyScreens& screens);

} // namespace StickyFrame
