#pragma once

#include <QColor>
#include <QHash>
#include <QImage>

class QPainter;
class QRect;

// The transcript boxes of the recorder's drawn rows: a rounded, outlined
// box over the row's background. Its antialiased outline is costly to draw,
// so each size and background is pictured once, in the format of the
// picture being painted, and copied into place: pixel for pixel what
// drawing it there gives.
class NoteRowBoxes {
public:
    // The box filling `rect` over a row whose background is `rowFill`
    // (invalid: none) laid over the list's `base`.
    void draw(QPainter* painter, const QRect& rect, const QColor& base, const QColor& rowFill);
    // The box drawn directly, with the painter's own state.
    static void paint(QPainter* painter, const QRect& rect);

private:
    struct Key {
        int width, height;
        qreal dpr;
        QRgb base, fill;
        int format;
        friend bool operator==(const Key&, const Key&) = default;
        friend size_t qHash(const Key& k, size_t seed = 0)
        {
            return qHashMulti(seed, k.width, k.height, k.dpr, k.base, k.fill, k.format);
        }
    };
    QHash<Key, QImage> m_pictures;
};
