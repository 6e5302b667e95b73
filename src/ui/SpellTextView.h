#pragma once

// A scrolling, multi-line plain-text view bound to a string, checking spelling
// and grammar as the user types. Bind it with setText() (model -> view: an
// equal string is never written back, so caret and undo survive) and
// textEdited() (view -> model, after every edit). Not editable = read-only
// but selectable.

#include <QColor>
#include <QFont>
#include <QPlainTextEdit>

class TextChecker;

class SpellTextView : public QPlainTextEdit {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textEdited)
public:
    explicit SpellTextView(QWidget* parent = nullptr);
    SpellTextView(const QString& text, const QFont& font, const QColor& background, bool drawsBackground,
                  const QColor& textColor, bool editable, QWidget* parent = nullptr);

    QString text() const;
    // Replaces the whole text when it differs and the view is not in the
    // middle of reporting an edit.
    void setText(const QString& text);

    void setTextFont(const QFont& font);
    QColor background() const { return m_background; }
    void setBackground(const QColor& color);
    bool drawsBackground() const { return m_drawsBackground; }
    void setDrawsBackground(bool on);
    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor& color);
    bool isEditable() const { return m_editable; }
    void setEditable(bool editable);

    TextChecker* checker() const { return m_checker; }

Q_SIGNALS:
    // After every change the user makes (typing, paste, cut, undo).
    void textEdited(const QString& text);

protected:
    // Nothing is pasted from an empty clipboard (Qt's own paste would crash
    // on it under X11).
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void applyLook();
    void onContentsChanged();

    TextChecker* m_checker = nullptr;
    QColor m_background = Qt::white;
    bool m_drawsBackground = true;
    QColor m_textColor = Qt::black;
    bool m_editable = true;
    bool m_editing = false;
    bool m_settingText = false;
};
