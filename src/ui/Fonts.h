#pragma once

// One answer to "which font": the system face (Inter), its rounded design
// (Quicksand), monospaced (DejaVu Sans Mono) and serif (DejaVu Serif), and the
// nearest installed face for the named fonts of documents. Sizes are given in
// layout units (logical pixels, the "points" of the window layouts), so a
// 13-point label is 13 logical pixels high whatever the screen's DPI.

#include <QFont>
#include <QString>

namespace Fonts {

enum class Design { Default, Rounded, Monospaced, Serif };

// The platform's text styles, at their standard sizes.
enum class TextStyle {
    LargeTitle, // 26
    Title,      // 22
    Title2,     // 17
    Title3,     // 15
    Headline,   // 13 semibold
    Body,       // 13
    Callout,    // 12
    Subheadline,// 11
    Footnote,   // 10
    Caption,    // 10
    Caption2,   // 10
};

// Registers the bundled faces with Qt (idempotent). The icon face is the
// only one: whatever draws icons calls this first, and nothing else does, so
// that a window is built and shown before the font system is started.
void ensureLoaded();
// The TrueType file of the Material icon face.
QString materialIconFile();

// The system font at `size` layout units, `weight`, `design`.
QFont system(qreal size, QFont::Weight weight = QFont::Normal, Design design = Design::Default);
// A text style, optionally in another design.
QFont style(TextStyle textStyle, Design design = Design::Default);
// A font by family name (a document's or the word processor's), mapped to the
// nearest installed face when that family is missing.
QFont named(const QString& family, qreal size, QFont::Weight weight = QFont::Normal);
// The installed family that stands for `family` ("Helvetica Neue" -> "Inter").
QString nearestFamily(const QString& family);
// The installed family that stands for `family` were it missing; asks
// nothing of the font database (a question about a missing family costs a
// fontconfig query each time).
QString standIn(const QString& family);
QString familyFor(Design design);

// Converts layout units to the point size QFont wants on this screen.
qreal pointSizeFor(qreal layoutSize);
// Gives a font the size in layout units.
void setSize(QFont& font, qreal layoutSize);
// Letter spacing in layout units (kerning of the window layouts).
void setTracking(QFont& font, qreal layoutUnits);

} // namespace Fonts
