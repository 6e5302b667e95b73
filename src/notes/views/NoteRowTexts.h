#pragma once

#include "ui/TextLine.h"

#include <QCache>
#include <QFont>
#include <QList>
#include <QString>
#include <QTextLayout>

class QPainter;
class QRect;
class QRectF;

// The texts of the recorder's drawn rows, laid out once and kept: a row
// drawn again (the window activated, the list scrolled back, a note playing)
// draws its texts without shaping them anew. A line is drawn exactly as
// QPainter::drawText draws it into the same rectangle. Texts are kept per
// face, one of the fonts the texts were made with.
class NoteRowTexts {
public:
    explicit NoteRowTexts(const QList<QFont>& faces);
    ~NoteRowTexts();

    const QFont& font(int face) const { return m_faces.at(face); }

    // `text` in one line, aligned in `box` by `flags` (left or centred,
    // top, centred or bottom), clipped to it when it does not fit; the
    // painter's pen colours it.
    void drawLine(QPainter* painter, const QRect& box, int flags, const QString& text, int face);
    // `text` wrapped at word boundaries (anywhere within a long word) into
    // `box`: as many whole lines as fit.
    void drawWrapped(QPainter* painter, const QRectF& box, const QString& text, int face);
    // The width of `text` as QFontMetrics::horizontalAdvance gives it.
    int advance(const QString& text, int face);
    // `text` elided at its end to fit `width`, as QFontMetrics::elidedText.
    QString elided(const QString& text, int face, int width);

private:
    struct Key {
        int face;
        int width; // -1: one line; elided: the width it fits
        int height;
        QString text;
        friend bool operator==(const Key&, const Key&) = default;
        friend size_t qHash(const Key& k, size_t seed = 0) { return qHashMulti(seed, k.face, k.width, k.height, k.text); }
    };
    TextLine* line(QPainter* painter, const QString& text, int face);
    // Lays `text` out in lines of the box's width, as many as fit; false
    // when the lines that fit might end elsewhere in a longer text.
    static bool wrap(QTextLayout& layout, const QString& text, const QRectF& box);

    QList<QFont> m_faces;
    QCache<Key, TextLine> m_lines;
    QCache<Key, QTextLayout> m_wrapped;
    QCache<Key, QString> m_elided;
    QCache<Key, int> m_advances;
};
