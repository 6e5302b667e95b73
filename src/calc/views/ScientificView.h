#pragma once

#include "calc/views/CalcLook.h"
#include "ui/ChromeKey.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <optional>

class ChromeButton;
class ChromeKey;
class ChromePanel;
class FitLabel;
class HistoryList;
class QLabel;
class ScientificModel;
class SegmentedPicker;
class SpellLineEdit;

// The Scientific Calculator window's content: the expression display with
// its live result, the angle-mode picker and memory keys, the function and
// number pads, and the history of calculations.
class ScientificView : public QWidget {
    Q_OBJECT
public:
    struct FnKey {
        QString label;
        QString insert;
    };

    explicit ScientificView(QWidget* parent = nullptr);

    ScientificModel* model() const { return m_model; }

    // The function pad: six rows of five keys.
    static const QList<QList<FnKey>>& fnRows();
    // The number pad between its "C ⌫" row and "=": four rows of four.
    static const QStringList& numTopRow();
    static const QList<QStringList>& numRows();
    // What a number-pad key appends ("−" appends "-", "EE" the letter "e").
    static QString numInsert(const QString& label);
    static std::optional<QColor> numTint(const QString& label);
    static QColor fnTint();

    // The result line as it reads now, and whether it shows an error.
    QString resultLineText() const;
    bool showsError() const;

    // Copy: the shown result to the clipboard as plain text.
    void copyResult();

    // A key of either pad, or "MC", "M+", "MR", "Copy", "Clear History".
    QWidget* control(const QString& label) const { return m_controls.value(label); }
    SpellLineEdit* expressionField() const { return m_field; }
    FitLabel* resultLabel() const { return m_result; }
    QLabel* modeBadge() const { return m_modeBadge; }
    QLabel* memoryBadge() const { return m_memoryBadge; }
    SegmentedPicker* modePicker() const { return m_picker; }
    QLabel* historyHint() const { return m_hint; }
    HistoryList* historyList() const { return m_history; }

    // The face and the one label size every function key shows now: as
    // large as lets the longest label fit its key, at most the pad size.
    static QFont fnFace();
    qreal fnLabelSize() const { return m_fnLabelSize; }

    // The expression field's font: the display size, or while the field is
    // empty, as large as lets the whole example placeholder fit.
    static QFont expressionFont();
    // The whole pixel size at which `text` in `font` fits `room`: the
    // largest below the font's own, at least 8; 0 when it fits as it is.
    static int placeholderPixels(const QFont& font, const QString& text, qreal room);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildDisplay();
    QLayout* buildModeRow();
    QLayout* buildKeypads();
    QWidget* buildHistory();
    // A key whose label is drawn in `face` at `size` (by default the face
    // that has the label's characters, at the key size).
    ChromeKey* addKey(const QString& label, std::optional<QColor> tint, QWidget* parent,
                      std::optional<QFont> face = std::nullopt, qreal size = ChromeKey::labelSize);
    void fitFnLabels();
    void fitPlaceholder();
    void refreshResult();
    void refreshStatus();
    void refreshHistory();
    void copyText(const QString& text);

    ScientificModel* m_model = nullptr;
    SpellLineEdit* m_field = nullptr;
    FitLabel* m_result = nullptr;
    QLabel* m_modeBadge = nullptr;
    QLabel* m_memoryBadge = nullptr;
    SegmentedPicker* m_picker = nullptr;
    QLabel* m_hint = nullptr;
    HistoryList* m_history = nullptr;
    QHash<QString, QWidget*> m_controls;
    QList<ChromeKey*> m_fnKeys;
    qreal m_fnLabelSize = CalcLook::padLabelSize;
    // The widest function label at the pad size, measured once: the fit on
    // every later resize is a division.
    qreal m_fnWidest = -1;
    // The placeholder's size for the room it was fitted to (0: the
    // expression font's own).
    struct PlaceholderFit {
        qreal room = -1;
        QString text;
        int pixels = 0;
    };
    PlaceholderFit m_placeholderFit;
    bool m_fitPending = false;
};
