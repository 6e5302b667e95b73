#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class QVariantAnimation;

// The focus timer's dial: a faint track, the progress arc (a vertical
// gradient of the phase colour, starting at the top and growing clockwise,
// easing to each new value over a quarter second), a chrome rim, and in the
// middle the phase name in capitals, the clock in figures of equal width and
// the session line. Drawn at its full size, scaled down when the window is
// short.
class FocusRing : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDiameter = 250;
    static constexpr int kPadding = 16;
    // The least room the dial is drawn in (scaled down from its full size)
    // when the window is too short for all of it.
    static constexpr int kSmallest = 170;
    static constexpr qreal kLineWidth = 18;
    static constexpr int kAnimationMs = 250;
    // Smaller moves of the arc's end are drawn without animation.
    static constexpr double kGlideFromPixels = 4.0;

    explicit FocusRing(QWidget* parent = nullptr);

    void setTexts(const QString& phase, const QString& clock, const QString& session);
    void setColor(const QColor& color);
    // The arc's target; animated unless `animate` is false or the move is
    // too small to see as motion.
    void setFraction(double fraction, bool animate = true);

    QString phaseText() const { return m_phase; }
    QString clockText() const { return m_clock; }
    QString sessionText() const { return m_session; }
    QColor color() const { return m_color; }
    double fraction() const { return m_target; }
    // The fraction drawn now (moves towards fraction() while animating).
    double shownFraction() const { return m_shown; }
    bool isAnimating() const;

    // The side it asks for: its full size unless told less.
    void setSide(int side);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintClock(QPainter& p, const QRectF& line);

    QString m_phase;
    QString m_clock;
    QString m_session;
    QColor m_color;
    double m_target = 0;
    double m_shown = 0;
    QVariantAnimation* m_animation = nullptr;
    int m_side = kDiameter + 2 * kPadding;
};
