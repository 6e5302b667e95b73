#pragma once

#include <QColor>
#include <QObject>
#include <QString>

class QTextBlockFormat;
class QTextCharFormat;

// What one editor window shows about its text: the formatting at the
// selection (read by the toolbar) and the word, character and page counts
// (read by the status bar). The window refreshes it after every selection
// change, every command and every recount; the bars only read it, except
// that the colour wells write `color` and `highlight` back.
//
// `alignment` holds Qt's horizontal alignment, or 0 for a paragraph that
// sets none (natural alignment).
class WPState : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString fontFamily READ fontFamily NOTIFY fontFamilyChanged)
    Q_PROPERTY(qreal fontSize READ fontSize NOTIFY fontSizeChanged)
    Q_PROPERTY(bool bold READ bold NOTIFY boldChanged)
    Q_PROPERTY(bool italic READ italic NOTIFY italicChanged)
    Q_PROPERTY(bool underline READ underline NOTIFY underlineChanged)
    Q_PROPERTY(bool strike READ strike NOTIFY strikeChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(QColor highlight READ highlight WRITE setHighlight NOTIFY highlightChanged)
    Q_PROPERTY(int alignment READ alignment NOTIFY alignmentChanged)
    Q_PROPERTY(int words READ words NOTIFY countsChanged)
    Q_PROPERTY(int characters READ characters NOTIFY countsChanged)
    Q_PROPERTY(int pages READ pages NOTIFY countsChanged)
    Q_PROPERTY(bool autocorrect READ autocorrect WRITE setAutocorrect NOTIFY autocorrectChanged)
public:
    // `autocorrect` starts as the stored preference.
    explicit WPState(bool autocorrect, QObject* parent = nullptr);

    QString fontFamily() const { return m_fontFamily; }
    qreal fontSize() const { return m_fontSize; }
    bool bold() const { return m_bold; }
    bool italic() const { return m_italic; }
    bool underline() const { return m_underline; }
    bool strike() const { return m_strike; }
    QColor color() const { return m_color; }
    QColor highlight() const { return m_highlight; }
    int alignment() const { return m_alignment; }
    int words() const { return m_words; }
    int characters() const { return m_characters; }
    int pages() const { return m_pages; }
    bool autocorrect() const { return m_autocorrect; }

    void setColor(const QColor& color);
    void setHighlight(const QColor& color);
    void setAutocorrect(bool on);
    void setCounts(int words, int characters, int pages);

    // Takes the formatting shown from the character format of the selection
    // (see WPCommands::currentAttributes) and its paragraph. The colours are
    // written with suppressColorEvents set; the flag drops again on the next
    // turn of the event loop, after every echo of the colour wells.
    void readSelection(const QTextCharFormat& format, const QTextBlockFormat& paragraph);

    // True while the window itself writes `color` and `highlight`: the
    // colour wells must not send such a change back to the text.
    bool suppressColorEvents = false;

Q_SIGNALS:
    void fontFamilyChanged();
    void fontSizeChanged();
    void boldChanged();
    void italicChanged();
    void underlineChanged();
    void strikeChanged();
    void colorChanged();
    void highlightChanged();
    void alignmentChanged();
    void countsChanged();
    void autocorrectChanged();

private:
    QString m_fontFamily;
    qreal m_fontSize = 12;
    bool m_bold = false;
    bool m_italic = false;
    bool m_underline = false;
    bool m_strike = false;
    QColor m_color = Qt::black;
    QColor m_highlight = Qt::transparent;
    int m_alignment = 0;
    int m_words = 0;
    int m_characters = 0;
    int m_pages = 1;
    bool m_autocorrect = true;
};
