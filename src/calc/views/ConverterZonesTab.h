#pragma once

#include <QList>
#include <QTimer>
#include <QWidget>

class ChromeButton;
class ChromePanel;
class ConverterModel;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;
class QVBoxLayout;

// The "Time Zones" tab of the Unit Converter: a wall-clock time converted
// from one zone into another, and the world clocks, refreshed every second
// while the tab is shown.
class ConverterZonesTab : public QWidget {
    Q_OBJECT
public:
    explicit ConverterZonesTab(ConverterModel* model, QWidget* parent = nullptr);

    QDateTimeEdit* datePicker() const { return m_date; }
    ChromeButton* nowButton() const { return m_now; }
    QComboBox* fromPicker() const { return m_from; }
    QComboBox* toPicker() const { return m_to; }
    ChromeButton* swapButton() const { return m_swap; }
    // The three result lines (hidden together when there is no result).
    QWidget* resultBox() const { return m_resultBox; }
    QList<QLabel*> resultLines() const { return {m_line1, m_line2, m_line3}; }
    QPushButton* addClockButton() const { return m_add; }
    QMenu* addClockMenu() const { return m_menu; }
    const QTimer& clockTimer() const { return m_timer; }

    struct ClockRow {
        QString id;
        QWidget* row = nullptr;
        QLabel* name = nullptr;
        QLabel* time = nullptr;
        QLabel* offset = nullptr;
        QToolButton* remove = nullptr;
    };
    const QList<ClockRow>& clockRows() const { return m_rows; }

    // Rebuilds the "Add Clock" menu (done each time it opens).
    void rebuildMenu();
    // Redraws the clock rows for the current time.
    void tick();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void syncDate();
    void syncZones();
    void refreshConversion();
    void rebuildClocks();

    ConverterModel* m_model;
    QDateTimeEdit* m_date = nullptr;
    ChromeButton* m_now = nullptr;
    QComboBox* m_from = nullptr;
    QComboBox* m_to = nullptr;
    ChromeButton* m_swap = nullptr;
    QWidget* m_resultBox = nullptr;
    QLabel* m_line1 = nullptr;
    QLabel* m_line2 = nullptr;
    QLabel* m_line3 = nullptr;
    QVBoxLayout* m_clockList = nullptr;
    QPushButton* m_add = nullptr;
    QMenu* m_menu = nullptr;
    QList<ClockRow> m_rows;
    QTimer m_timer;
};
