#pragma once

#include <QLayout>
#include <QList>

// The keys of the scientific window's two pads as one grid: every cell the
// same whole number of pixels wide and high, so keys of one span share one
// size (and one drawn face); the pixels that do not divide evenly go into
// the gaps between them that no key spans. One column gap, after
// `splitColumn`, is wider and parts the pads.
class ScientificKeyGrid : public QLayout {
public:
    ScientificKeyGrid(int rows, int columns, int splitColumn, QWidget* parent = nullptr);
    ~ScientificKeyGrid() override;

    void setGaps(int gap, int splitGap);
    void addKey(QWidget* key, int row, int column, int columnSpan = 1);

    // The cell rectangles for `area`, row by row.
    QRect cellRect(const QRect& area, int row, int column, int columnSpan = 1) const;

    void addItem(QLayoutItem* item) override;
    int count() const override { return int(m_cells.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    Qt::Orientations expandingDirections() const override;
    void setGeometry(const QRect& rect) override;

private:
    struct Cell {
        QLayoutItem* item;
        int row;
        int column;
        int span;
    };
    QSize cellSize(bool hint) const;
    QSize total(QSize cell) const;
    // Left edges of the columns (or tops of the rows) for `length` pixels;
    // `open` tells which gaps (by the index of the cell after them) take
    // spare pixels.
    QList<int> starts(int length, int count, int cell, int split, const QList<bool>& open) const;

    int m_rows;
    int m_columns;
    int m_split;
    int m_gap = 6;
    int m_splitGap = 10;
    QList<Cell> m_cells;
};
