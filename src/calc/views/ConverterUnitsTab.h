#pragma once

#include <QList>
#include <QWidget>

class ChromeButton;
class ChromePanel;
class ConverterModel;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QScrollArea;
class SegmentedPicker;

// The "Units" tab of the Unit Converter: the category picker, the value
// with its two unit pickers, the result with Copy, and every unit of the
// category in a two-column grid.
class ConverterUnitsTab : public QWidget {
    Q_OBJECT
public:
    explicit ConverterUnitsTab(ConverterModel* model, QWidget* parent = nullptr);

    SegmentedPicker* categoryPicker() const { return m_categories; }
    QLineEdit* valueField() const { return m_value; }
    QComboBox* fromPicker() const { return m_from; }
    QComboBox* toPicker() const { return m_to; }
    ChromeButton* swapButton() const { return m_swap; }
    QLabel* resultLabel() const { return m_result; }
    QLabel* symbolLabel() const { return m_symbol; }
    ChromeButton* copyButton() const { return m_copy; }
    QLabel* hintLabel() const { return m_hint; }
    ChromePanel* gridPanel() const { return m_gridPanel; }
    QScrollArea* gridScroll() const { return m_scroll; }

    // One cell of the all-units grid, in table order.
    struct Cell {
        QWidget* frame = nullptr;
        QLabel* name = nullptr;
        QLabel* value = nullptr;
    };
    const QList<Cell>& cells() const { return m_cells; }
    // Whether the cell of unit index `index` carries the highlight.
    bool isHighlighted(int index) const;

public Q_SLOTS:
    // Clears the clipboard and puts the result (the number only) on it (also
    // the Edit menu's Copy when no text field has the focus).
    void copy();

public:

private:
    void rebuildUnits();
    void syncPickers();
    void refreshResults();

    ConverterModel* m_model;
    SegmentedPicker* m_categories = nullptr;
    QLineEdit* m_value = nullptr;
    QComboBox* m_from = nullptr;
    QComboBox* m_to = nullptr;
    ChromeButton* m_swap = nullptr;
    QLabel* m_result = nullptr;
    QLabel* m_symbol = nullptr;
    ChromeButton* m_copy = nullptr;
    QLabel* m_hint = nullptr;
    ChromePanel* m_gridPanel = nullptr;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_gridHost = nullptr;
    QGridLayout* m_grid = nullptr;
    QList<Cell> m_cells;
};
