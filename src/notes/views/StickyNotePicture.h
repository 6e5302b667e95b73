#pragma once

#include <QHash>
#include <QImage>
#include <QRect>
#include <QUuid>
#include <memory>

class QWidget;
class StickyNoteView;
class StickyStore;

// Pictures of notes exactly as their full windows show them, for the light
// windows notes come up in. A note view that is never shown draws them. Its
// header looks the same on every note of one colour, level and width: it is
// drawn once and copied. A text that fits its note without scrolling, with
// no word marked misspelt, is laid out and drawn by itself, as the note's
// editor would draw it; any other is drawn by the view. A text longer than
// the note shows gets no picture.
class StickyNotePicture {
public:
    explicit StickyNotePicture(StickyStore& store);
    ~StickyNotePicture();

    // The note at `size`, in screen pixels; none when its text is more
    // than the note shows at once (its window scrolls, a picture cannot).
    QImage draw(const QUuid& id, const QSize& size);
    // What the last picture's top rows show (its header) and how many they
    // are: the same key, the same rows.
    QString headerKey() const { return m_headerKey; }
    int headerRows() const { return m_headerRows; }
    // The last picture's rows below which it holds only the note's colour.
    int contentRows() const { return m_contentRows; }

    // Tests: whether the last picture's text was drawn by itself.
    bool drewTextAlone() const { return m_textAlone; }

private:
    // Where the editor draws its text at one size of the view.
    struct TextPlace {
        QRect viewport;
        qreal lineWidth = 0;
    };
    enum class Text { Drawn, NotPlain, TooLong };
    void lay(const QSize& size);
    Text drawText(QImage& image, const QString& text, const TextPlace& place);
    static bool fits(qreal height, qreal lastLine, const QRect& viewport);

    StickyStore& m_store;
    std::unique_ptr<QWidget> m_stamp;
    StickyNoteView* m_view = nullptr;
    QHash<QString, QImage> m_headers;
    QHash<QString, TextPlace> m_places;
    QString m_headerKey;
    int m_headerRows = 0;
    int m_contentRows = 0;
    bool m_textAlone = false;
};
