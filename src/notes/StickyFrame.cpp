#include "notes/StickyFrame.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace StickyFrame {

namespace {

// Coordinates further out than this belong to no screen.
constexpr double kMaxCoordinate = 1.0e6;
// A window counts as reachable when at least this much of it is on a screen.
constexpr qreal kGrabSize = 24;

QString number(qreal v)
{
    if (v == 0)
        v = 0; // no "-0"
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}

} // namespace

QString toText(const QRectF& rect)
{
    return QStringLiteral("{{%1, %2}, {%3, %4}}")
        .arg(number(rect.x()), number(rect.y()), number(rect.width()), number(rect.height()));
}

QRectF fromText(const QString& text)
{
    static const QRegularExpression numberPattern(
        QStringLiteral(R"([-+]?(?:\d+(?:\.\d*)?|\.\d+)(?:[eE][-+]?\d+)?)"));
    double v[4] = {0, 0, 0, 0};
    int found = 0;
    QRegularExpressionMatchIterator it = numberPattern.globalMatch(text);
    while (found < 4 && it.hasNext()) {
        bool ok = false;
        const double d = it.next().captured().toDouble(&ok);
        if (!ok || !std::isfinite(d) || std::fabs(d) > kMaxCoordinate)
            return QRectF();
        v[found++] = d;
    }
    return QRectF(v[0], v[1], v[2], v[3]);
}

QRectF toScreen(const QRectF& stored, const QRectF& primary)
{
    return QRectF(primary.x() + stored.x(), primary.y() + primary.height() - stored.y() - stored.height(),
                  stored.width(), stored.height());
}

QRectF fromScreen(const QRectF& window, const QRectF& primary)
{
    return QRectF(window.x() - primary.x(), primary.y() + primary.height() - window.y() - window.height(),
                  window.width(), window.height());
}

QRectF fallback()
{
    return QRectF(200, 300, kWidth, kHeight);
}

QRectF cascade(const QRectF& visible, qsizetype existing)
{
    const qreal offset = kCascadeStep * qreal(existing % kCascadeCycle);
    qreal x = visible.center().x() - kWidth / 2 + offset;
    qreal y = visible.center().y() - 120 - offset;
    // Inside the visible area; where it is narrower or lower than the
    // window, the left edge and the top edge (the header) stay on screen.
    // (Stored coordinates grow upwards: the area's lower edge is its y.)
    const qreal left = visible.x(), right = visible.x() + visible.width();
    const qreal lower = visible.y(), upper = visible.y() + visible.height();
    x = qMax(qMin(x, right - kWidth), left);
    y = qMin(qMax(y, lower), upper - kHeight);
    return QRectF(x, y, kWidth, kHeight);
}

bool reachable(const QRectF& window, const QList<QRectF>& available)
{
    for (const QRectF& screen : available) {
        const QRectF on = window.intersected(screen);
        if (on.width() >= qMin(kGrabSize, window.width()) && on.height() >= qMin(kGrabSize, window.height()))
            return true;
    }
    return false;
}

QRectF withHeaderOnScreen(const QRectF& window, const QList<QRectF>& available)
{
    const QRectF header(window.x(), window.y(), window.width(), qMin(kHeaderHeight, window.height()));
    if (reachable(header, available))
        return window;
    const QRectF* best = nullptr;
    qreal bestArea = 0;
    for (const QRectF& screen : available) {
        const QRectF on = window.intersected(screen);
        const qreal area = on.width() * on.height();
        if (area > bestArea) {
            bestArea = area;
            best = &screen;
        }
    }
    if (!best)
        return window;
    // Its top edge no higher than the screen's, and the header no lower
    // than the screen's bottom.
    const qreal top = qMax(best->y(), qMin(window.y(), best->y() + best->height() - header.height()));
    return window.translated(0, top - window.y());
}

QRectF placement(const QString& stored, const StickyScreens& screens)
{
    QRectF frame = fromText(stored);
    if (frame.width() < kMinStoredWidth || frame.height() < kMinStoredHeight)
        frame = fallback();
    QRectF window = toScreen(frame, screens.primary);
    if (!screens.available.isEmpty() && !reachable(window, screens.available))
        window = toScreen(fallback(), screens.primary);
    return withHeaderOnScreen(window, screens.available);
}

} // namespace StickyFrame
