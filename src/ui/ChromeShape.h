#pragma once

// The raised chrome surface under buttons, keys, icons and the tool header:
// a bumper-gradient fill, an inner rim, a gloss highlight over the upper half
// and a soft drop shadow. ChromeShape::paint draws it with any QPainter; the
// ChromeShape widget fills itself with it.

#include <QMarginsF>
#include <QPainterPath>
#include <QRect>
#include <QRectF>
#include <QWidget>

class QPainter;

class ChromeShape : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool pressed READ pressed WRITE setPressed)
    Q_PROPERTY(bool forText READ forText WRITE setForText)
public:
    // An insettable shape.
    struct Outline {
        enum Kind { Capsule, Circle, RoundedRect };
        Kind kind = Capsule;
        qreal radius = 0; // RoundedRect only

        static Outline capsule() { return {Capsule, 0}; }
        static Outline circle() { return {Circle, 0}; }
        static Outline roundedRect(qreal radius) { return {RoundedRect, radius}; }

        // The outline filling `rect` (a circle is centred, its diameter the
        // shorter side).
        QPainterPath path(const QRectF& rect) const;
        // The same outline inset by `amount` on every side.
        QPainterPath insetPath(const QRectF& rect, qreal amount) const;
        QRectF frameOf(const QRectF& rect) const;
    };

    // Shadow geometry, in layout units.
    struct Shadow {
        qreal radius;
        qreal offsetY;
        qreal opacity;
    };
    static Shadow shadowFor(bool pressed);
    static constexpr qreal rimWidth = 1.4;
    static constexpr qreal glossInset = 3.0;
    static qreal glossOpacity(bool pressed) { return pressed ? 0.2 : 0.9; }

    // Paints the surface into `rect`; the shadow falls outside `rect` (see
    // shadowMargins). Crisp at the painter's device pixel ratio.
    static void paint(QPainter& painter, const QRectF& rect, const Outline& outline, bool pressed, bool forText);
    // Room the shadow needs around the shape.
    static QMarginsF shadowMargins(bool pressed);

    // Drop shadow of any path (blurred, offset), used by the panels too.
    static void paintShadow(QPainter& painter, const QPainterPath& path, qreal radius, qreal offsetY, qreal opacity);
    // The same for a rounded rectangle of any size, from one blurred corner
    // piece stretched along the straight edges (a panel's size does not
    // cost a blur of its own).
    // Nothing is drawn inside `covered` (in the painter's coordinates), an
    // area the caller fills opaquely afterwards; along the straight edges,
    // between the corners, nothing inside `edgesCovered` either (a caller
    // filling the rounded rectangle opaquely, on whole pixels, covers all of
    // it there).
    static void paintRoundedRectShadow(QPainter& painter, const QRectF& rect, qreal cornerRadius, qreal radius,
                                       qreal offsetY, qreal opacity, const QRect& covered = QRect(),
                                       const QRect& edgesCovered = QRect());

    // Fills `rect` with `brush` some dozens of whole rows at a time. The
    // painter hands a fill of 96 rows or more to a pool of worker threads
    // (starting them the first time), which costs a first frame far more
    // than a thin edge's fill. For a brush alike on every row (a plain
    // colour, a horizontal gradient) the pixels are the same either way.
    static void fillInBands(QPainter& painter, const QRectF& rect, const QBrush& brush);
    // Rows one fill or picture covers at most when laid down in bands.
    static constexpr int bandRows = 64;

    explicit ChromeShape(const Outline& outline = Outline::capsule(), QWidget* parent = nullptr);

    Outline outline() const { return m_outline; }
    void setOutline(const Outline& outline);
    bool pressed() const { return m_pressed; }
    void setPressed(bool pressed);
    bool forText() const { return m_forText; }
    void setForText(bool forText);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Outline m_outline;
    bool m_pressed = false;
    bool m_forText = false;
};
