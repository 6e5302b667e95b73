#pragma once

#include <QFont>
#include <QList>
#include <QStyledItemDelegate>
#include <memory>
#include <unordered_map>
#include <vector>

class LoanFigureRuns;
class QTextLayout;

// Draws a cell of the loan window's tables: its text on one line, in the
// cell's font and alignment, where the style would put it, cut short with
// "…" when the column is too narrow. Nothing else is drawn in these cells
// (no selection, focus, icon or check box), so one run of text is all the
// work a cell takes. Figures and amounts, the cells that bring a font of
// their own, are placed glyph by glyph from what was looked up once for
// that font (LoanFigureRuns); other texts are laid out once and drawn again
// from that layout.
class LoanCellDelegate : public QStyledItemDelegate {
public:
    explicit LoanCellDelegate(QObject* parent = nullptr);
    ~LoanCellDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    struct Laid {
        std::unique_ptr<QTextLayout> layout;
        qreal height = 0;
    };

    // The cell's own font over the view's, kept while both stay the same:
    // the one font object then keeps the faces it has looked up, instead of
    // every cell looking them up again for a fresh copy.
    const QFont& resolvedFont(const QFont& cellFont, const QFont& viewFont) const;
    // A small number for `font` among those drawn so far.
    int fontSlot(const QFont& font) const;
    // The figure glyphs of the font in `slot`, looked up when first wanted.
    const LoanFigureRuns& figures(int slot) const;

    mutable QFont m_cellFont;
    mutable QFont m_viewFont;
    mutable QFont m_resolved;
    mutable bool m_hasResolved = false;
    // Texts already laid out, by font, width, alignment and text: a table
    // repeats many (every row's payment) and repaints them all on scrolling.
    mutable QList<QFont> m_fonts;
    mutable std::vector<std::unique_ptr<LoanFigureRuns>> m_figures; // by font slot
    mutable std::unordered_map<QString, Laid> m_laid;
};
