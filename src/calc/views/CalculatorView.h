#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <optional>

class CalculatorModel;
class ChromeButton;
class ChromeKey;
class FitLabel;
class QKeyEvent;
class QLabel;

// The Calculator window's content: the display with its memory marker and
// expression line, Copy Result and Paste, the keypad, and a hint line. While
// its window is active and no editable text input of that window has focus,
// the keyboard drives the calculator.
class CalculatorView : public QWidget {
    Q_OBJECT
public:
    explicit CalculatorView(QWidget* parent = nullptr);
    ~CalculatorView() override;

    CalculatorModel* model() const { return m_model; }

    // The keypad, row by row; each label is also the key fed to the model.
    static const QList<QStringList>& rows();
    // The label colour of a key; nothing for the plain keys.
    static std::optional<QColor> tint(const QString& key);
    // The accessible name of a key.
    static QString spoken(const QString& key);

    // Applies a key press of the window; true when the calculator took it.
    bool handleKey(QKeyEvent* event);
    // What the keyboard map makes of a key press: a calculator key, "copy",
    // "paste", or nothing (the press passes on).
    static std::optional<QString> keyFor(const QKeyEvent* event);

public Q_SLOTS:
    // Copy Result and Paste through the system clipboard (also the Edit
    // menu's Copy and Paste while the calculator is in front).
    void copy();
    void paste();

public:

    ChromeKey* key(const QString& label) const { return m_keys.value(label); }
    FitLabel* displayLabel() const { return m_display; }
    QLabel* memoryMarker() const { return m_memoryMarker; }
    FitLabel* expressionLabel() const { return m_expression; }
    QLabel* flashLabel() const { return m_flash; }

    // Point sizes of the display: 40, or 26 for more than 12 characters.
    static qreal displayFontSize(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    bool takesKeysFrom(QObject* watched) const;

    CalculatorModel* m_model = nullptr;
    FitLabel* m_display = nullptr;
    QLabel* m_memoryMarker = nullptr;
    FitLabel* m_expression = nullptr;
    QLabel* m_flash = nullptr;
    QHash<QString, ChromeKey*> m_keys;
};
