#include "calc/views/CalcLook.h"

#include "ui/Chrome.h"
#include "ui/ChromeKey.h"
#include "ui/Fonts.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>

#include <algorithm>

namespace CalcLook {

QColor displayText()
{
    return QColor::fromRgbF(0.75f, 1.0f, 0.9f);
}

QColor errorText()
{
    return QColor::fromRgbF(1.0f, 0.55f, 0.5f);
}

QColor orange()
{
    return QColor::fromRgbF(1.0f, 0.584f, 0.0f);
}

QColor secondary()
{
    return QColor::fromRgbF(0.0f, 0.0f, 0.0f, 0.5f);
}

QColor secondaryOnDisplay()
{
    return QColor::fromRgbF(0.75f, 0.8f, 0.8f, 0.7f);
}

void paintDisplay(QPainter& painter, const QRectF& rect)
{
    constexpr qreal radius = 14;
    constexpr qreal rimWidth = 3;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(rect, radius, radius);
    QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
    fill.setColorAt(0, QColor::fromRgbF(0.05f, 0.12f, 0.13f));
    fill.setColorAt(1, QColor::fromRgbF(0.08f, 0.22f, 0.22f));
    painter.fillPath(shape, fill);
    // Stroked inside the border: the pen runs along the outline inset by
    // half its width.
    const QRectF inner = rect.adjusted(rimWidth / 2, rimWidth / 2, -rimWidth / 2, -rimWidth / 2);
    QPen pen(QBrush(Chrome::rim(rect)), rimWidth);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(inner, radius - rimWidth / 2, radius - rimWidth / 2);
    painter.restore();
}

} // namespace CalcLook

QFont CalcLook::keyFace(const QStringList& labels)
{
    const QList<uint> chars = labels.join(QString()).toUcs4();
    auto covers = [&chars](const QRawFont& raw) {
        return raw.isValid()
            && std::all_of(chars.begin(), chars.end(), [&raw](uint c) { return raw.supportsCharacter(c); });
    };
    QFont rounded = Fonts::system(ChromeKey::labelSize, QFont::Bold, Fonts::Design::Rounded);
    if (covers(QRawFont::fromFont(rounded)))
        return rounded;
    // The bold system face, on its own where it has every character: then
    // no other face is looked for, as one would be for each script among
    // the labels (the function pad's π alone would start a search).
    const QFont plain = Fonts::system(ChromeKey::labelSize, QFont::Bold);
    QFont single = plain;
    single.setStyleStrategy(QFont::StyleStrategy(plain.styleStrategy() | QFont::NoFontMerging));
    return covers(QRawFont::fromFont(single)) ? single : plain;
}
