#pragma once

#include <QFont>
#include <QRawFont>
#include <QString>
#include <array>

class QColor;
class QPainter;
class QRect;

// Draws one-line texts made only of figures and the signs of money amounts
// ("$24,646.27", "-3.5", "12") without shaping each text: the glyph and
// advance of every such character are looked up once for the font, and the
// glyphs are placed one after another where a laid-out line puts them.
// That holds only while no pair of these characters is kerned or otherwise
// shaped together, which is checked once against the shaper; a font that
// fails the check is never drawn this way.
class LoanFigureRuns {
public:
    explicit LoanFigureRuns(const QFont& font);

    // Whether the font passed the check.
    bool usable() const { return m_usable; }

    // Draws `text` in `area` in `color`, left or right aligned and placed
    // vertically as a QTextLayout line drawn at the top of the area, moved
    // down by the alignment, is drawn. False, with nothing drawn, when the
    // text holds another character, needs more than the area's width, or the
    // alignment is not left or right.
    bool draw(QPainter* painter, const QRect& area, Qt::Alignment alignment, const QString& text,
              const QColor& color) const;

    // The characters drawn this way.
    static QString characters();

private:
    struct Glyph {
        quint32 index = 0;
        int advance = -1; // in 1/64 pixel; -1: not a character drawn this way
    };

    QRawFont m_raw;
    std::array<Glyph, 128> m_glyphs{};
    int m_baseline = 0; // from the line's top, in 1/64 pixel
    qreal m_height = 0; // of the line, as QTextLine::height() gives it
    bool m_usable = false;
};
