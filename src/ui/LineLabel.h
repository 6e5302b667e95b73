#pragma once

#include "ui/TextLine.h"

#include <QFont>
#include <QLabel>
#include <QMargins>
#include <optional>

// A plain-text label that lays a text of one line out once: both its size
// and its painting come from that one line, kept until the text or the font
// changes. QLabel measures a line three times over (its size hint, and its
// minimum size at no width and at every width), each time shaping the text
// anew, and shapes it again to paint it; a grid of figures changing at each
// keystroke, or a window of captions opening, pays for that many times.
// It looks and measures as QLabel does. A plain text that is not one such
// line (line breaks, tabs, spaces at its ends, no text) is measured once as
// QLabel measures it and painted by QLabel; a label that wraps, is framed,
// selectable or editable, shows a picture or rich text, or has a buddy is
// QLabel's own.
class LineLabel : public QLabel {
public:
    explicit LineLabel(const QString& text = QString(), QWidget* parent = nullptr);
    ~LineLabel() override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Whether QLabel would show plain text, unframed and unwrapped.
    bool plainText() const;
    // Whether that text is one line drawn as laid out here.
    bool isOneLine() const;
    // The text laid out as QPainter::drawText lays out one line.
    const TextLine& line() const;
    QSize oneLineSize() const;
    // A plain text of other lines, measured as QLabel measures it.
    QSize measured() const;

    struct Measured {
        QString text;
        QFont font;
        QMargins margins;
        int margin = 0;
        Qt::Alignment alignment;
        QSize minimum;
        bool operator==(const Measured& o) const
        {
            return text == o.text && font == o.font && font.resolveMask() == o.font.resolveMask()
                   && margins == o.margins && margin == o.margin && alignment == o.alignment && minimum == o.minimum;
        }
    };
    mutable Measured m_for;
    mutable std::optional<QSize> m_size;
    mutable TextLine m_line;
};
