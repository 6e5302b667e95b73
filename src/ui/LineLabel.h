#pragma once

#include <QFont>
#include <QLabel>
#include <QMargins>
#include <optional>

// A plain-text label on one line that measures its text once. A QLabel asks
// the font for its text's box three times for the first size a layout wants
// (its size hint, and its minimum size at no width and at every width), each
// time shaping the text anew; on one line the three answers are one. Kept
// until the text, the font, the margins, the alignment or the minimum size
// change. A label that wraps, shows a picture or rich text, has a buddy or an
// indent is measured as QLabel measures it.
class LineLabel : public QLabel {
public:
    explicit LineLabel(const QString& text = QString(), QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    bool plainLine() const;
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
};
