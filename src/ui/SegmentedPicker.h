#pragma once

#include <QFont>
#include <QStringList>
#include <QWidget>

#include <vector>

class TextLine;

// A segmented picker: a row of segments of which exactly one is chosen.
// Clicks and the arrow keys choose; currentIndexChanged follows every choice
// by the user (and setCurrentIndex when the index changes).
class SegmentedPicker : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int currentIndex READ currentIndex WRITE setCurrentIndex NOTIFY currentIndexChanged)
public:
    explicit SegmentedPicker(const QStringList& segments, QWidget* parent = nullptr);
    ~SegmentedPicker() override;

    QStringList segments() const { return m_segments; }
    int currentIndex() const { return m_current; }
    void setCurrentIndex(int index);
    // Where segment `index` is drawn (for clicks).
    QRect segmentRect(int index) const;
    // The advance of the widest title in the picker's font.
    int widestTitle() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // A segment was chosen by the user; also sent when it was already chosen.
    void activated(int index);
    void currentIndexChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void choose(int index);
    // The titles shaped in `font`: layouts and paint share them, so each
    // title is shaped once per font instead of at every measure and paint.
    const std::vector<TextLine>& titles(const QFont& font) const;
    void forgetTitles();

    QStringList m_segments;
    int m_current = 0;
    mutable QFont m_titleFont;
    mutable Qt::LayoutDirection m_titleDirection = Qt::LeftToRight;
    mutable std::vector<TextLine> m_titles;
    mutable int m_widest = -1;
    mutable QSize m_sizeHint;
};
