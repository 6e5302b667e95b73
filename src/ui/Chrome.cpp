#include "ui/Chrome.h"

namespace Chrome {

namespace {

QGradientStops evenly(std::initializer_list<QColor> colors)
{
    QGradientStops stops;
    const int n = int(colors.size());
    int i = 0;
    for (const QColor& c : colors) {
        stops.append({n > 1 ? qreal(i) / (n - 1) : 0.0, c});
        ++i;
    }
    return stops;
}

QColor rgb(qreal r, qreal g, qreal b, qreal a = 1.0)
{
    return QColor::fromRgbF(float(r), float(g), float(b), float(a));
}

} // namespace

QColor toColor(Rgb c, qreal opacity)
{
    return rgb(c.red, c.green, c.blue, opacity);
}

QColor grey(qreal v, qreal opacity)
{
    return rgb(v, v, v, opacity);
}

QColor ink() { return rgb(0.1, 0.1, 0.12); }
QColor cream() { return rgb(0.965, 0.945, 0.9); }
QColor seafoam() { return rgb(0.25, 0.72, 0.69); }
QColor cherry() { return toColor(ChromeColors::cherry); }
QColor turquoiseDeep() { return toColor(ChromeColors::turquoiseDeep); }
QColor windowColor() { return rgb(0.93, 0.92, 0.89); }

const QList<QColor>& goalColors()
{
    static const QList<QColor> colors{seafoam(), cherry(), rgb(0.95, 0.65, 0.15), rgb(0.35, 0.45, 0.85),
                                      rgb(0.55, 0.35, 0.7), rgb(0.3, 0.6, 0.3)};
    return colors;
}

QColor goalColor(int index)
{
    const auto& colors = goalColors();
    const int n = int(colors.size());
    return colors.at(((index % n) + n) % n);
}

const QGradientStops& bumperStops()
{
    static const QGradientStops s{{0.0, grey(1.0)},  {0.12, grey(0.9)},          {0.38, grey(0.72)},
                                  {0.5, grey(0.3)},  {0.56, grey(0.48)},         {0.8, rgb(0.8, 0.79, 0.76)},
                                  {1.0, grey(0.97)}};
    return s;
}

const QGradientStops& bumperPressedStops()
{
    static const QGradientStops s{{0.0, grey(0.55)}, {0.45, grey(0.75)}, {0.55, grey(0.92)}, {1.0, grey(0.7)}};
    return s;
}

const QGradientStops& bumperTextStops()
{
    static const QGradientStops s{{0.0, grey(1.0)},   {0.18, grey(0.94)},           {0.55, grey(0.86)},
                                  {0.82, grey(0.66)}, {0.92, rgb(0.8, 0.79, 0.76)}, {1.0, grey(0.95)}};
    return s;
}

const QGradientStops& satinStops()
{
    static const QGradientStops s = evenly({grey(0.99), grey(0.9), grey(0.84), grey(0.93)});
    return s;
}

const QGradientStops& rimStops()
{
    static const QGradientStops s = evenly({grey(1.0), grey(0.55), grey(0.25), grey(0.75)});
    return s;
}

const QGradientStops& windowBackgroundStops()
{
    static const QGradientStops s = evenly({rgb(0.93, 0.92, 0.89), rgb(0.86, 0.85, 0.82)});
    return s;
}

QLinearGradient vertical(const QGradientStops& stops, const QRectF& rect)
{
    QLinearGradient g(rect.topLeft(), rect.bottomLeft());
    g.setStops(stops);
    return g;
}

QLinearGradient bumper(const QRectF& r) { return vertical(bumperStops(), r); }
QLinearGradient bumperPressed(const QRectF& r) { return vertical(bumperPressedStops(), r); }
QLinearGradient bumperText(const QRectF& r) { return vertical(bumperTextStops(), r); }
QLinearGradient satin(const QRectF& r) { return vertical(satinStops(), r); }
QLinearGradient rim(const QRectF& r) { return vertical(rimStops(), r); }
QLinearGradient windowBackground(const QRectF& r) { return vertical(windowBackgroundStops(), r); }

} // namespace Chrome
