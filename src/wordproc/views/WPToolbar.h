#pragma once

#include <QList>
#include <QWidget>

class ChromeButton;
class QComboBox;
class WPColorWell;
class WPState;
class WPWindowController;

// The formatting bar on top of every editor window: two rows of controls
// that show the formatting at the selection (from the window's WPState) and
// send every command to the window. It keeps no state of its own.
class WPToolbar : public QWidget {
    Q_OBJECT
public:
    WPToolbar(WPWindowController* controller, WPState* state, const QList<qreal>& sizes,
              QWidget* parent = nullptr);

    // The items the family and size pickers show now (an extra first item
    // stands for a family or size that is not in the lists).
    QStringList familyItems() const;
    QStringList sizeItems() const;
    QString shownFamily() const;
    QString shownSize() const;
    // The button with this tooltip, for tests and accessibility.
    ChromeButton* button(const QString& help) const;

    // "%g" of a size: 12 → "12", 10.5 → "10.5".
    static QString sizeText(qreal size);

private:
    void refresh();
    ChromeButton* iconButton(const QString& symbol, const QString& help, std::function<void()> action);
    ChromeButton* menuButton(const QString& title, const QString& symbol, const QString& help, int width);

    WPWindowController* m_c;
    WPState* m_s;
    QList<qreal> m_sizes;
    QComboBox* m_family = nullptr;
    QComboBox* m_size = nullptr;
    bool m_extraFamily = false;
    bool m_extraSize = false;
    ChromeButton* m_bold = nullptr;
    ChromeButton* m_italic = nullptr;
    ChromeButton* m_underline = nullptr;
    ChromeButton* m_strike = nullptr;
    QList<ChromeButton*> m_align;
    WPColorWell* m_color = nullptr;
    WPColorWell* m_highlight = nullptr;
    ChromeButton* m_autocorrect = nullptr;
    QList<ChromeButton*> m_buttons;
};

// A small swatch that shows a colour and lets the user pick another (with
// opacity). Showing a colour never reports it back.
class WPColorWell : public QWidget {
    Q_OBJECT
public:
    explicit WPColorWell(const QString& help, QWidget* parent = nullptr);
    QColor color() const { return m_color; }
    void setColor(const QColor& color);

Q_SIGNALS:
    void picked(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor m_color;
};
