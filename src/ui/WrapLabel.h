#pragma once

#include <QHash>
#include <QLabel>
#include <optional>

// A word-wrapped plain-text label that measures its text once for each width
// it is asked about. While a window is built, its layouts ask a wrapping
// label for its sizes and its height at a given width many times over, and a
// QLabel lays the whole text out anew for each question; the answers are
// kept here until the text, the font, the margins or the size policy change.
class WrapLabel : public QLabel {
public:
    explicit WrapLabel(const QString& text = QString(), QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int heightForWidth(int width) const override;

private:
    // Forgets the answers kept when what they depend on changed.
    void checkKept() const;

    struct Measured {
        QString text;
        QFont font;
        QMargins margins;
        int margin = 0;
        int indent = 0;
        Qt::Alignment alignment;
        QSizePolicy policy;
        bool operator==(const Measured&) const = default;
    };
    mutable Measured m_for;
    mutable std::optional<QSize> m_hint;
    mutable std::optional<QSize> m_minimum;
    mutable QHash<int, int> m_heights;
};
