#pragma once

#include <QLayout>
#include <QList>

// The layout of the formatting bar: its controls in rows, left to right,
// each whole at its preferred size. A row that does not fit the width goes
// on in a further line instead of squeezing or overlapping its controls.
// Controls added between beginGroup() and endGroup() go to the next line
// together. Within a row, the controls after pushRight() sit at the right
// end of the line they end up on.
class WPToolbarFlow : public QLayout {
public:
    explicit WPToolbarFlow(QWidget* parent = nullptr);
    ~WPToolbarFlow() override;

    // The next control starts a new row.
    void addRowBreak();
    // The controls added after this go to the right end of their line.
    void pushRight();
    void beginGroup();
    void endGroup();
    // A divider between controls; none is drawn at the start of a line.
    void addSeparator(QWidget* divider);

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    struct Entry {
        QLayoutItem* item;
        int row;
        bool right;
        int group;
        bool separator;
    };
    // Lays the controls out in `rect` (moving them when `apply`); returns
    // the height used.
    int arrange(const QRect& rect, bool apply) const;

    QList<Entry> m_entries;
    int m_row = 0;
    bool m_right = false;
    int m_group = 0;
    bool m_grouping = false;
    bool m_nextIsSeparator = false;
};
