#include "ui/ChromeKey.h"

#include "ui/Chrome.h"
#include "ui/ChromeShape.h"
#include "ui/Fonts.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <cmath>

namespace {

const QMarginsF kShadowRoom(2, 1, 2, 4);
const qreal kPadding = 3;

} // namespace

ChromeKey::ChromeKey(const QString& label, QWidget* parent) : ChromeKey(label, std::nullopt, parent) {}

ChromeKey::ChromeKey(const QString& label, std::optional<QColor> tint, QWidget* parent)
    : QPushButton(label, parent), m_tint(std::move(tint))
{
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setFont(Fonts::system(labelSize, QFont::Bold, Fonts::Design::Rounded));
}

void ChromeKey::setTint(std::optional<QColor> tint)
{
    m_tint = std::move(tint);
    update();
}

QColor ChromeKey::labelColor() const
{
    return m_tint.value_or(Chrome::ink());
}

void ChromeKey::setLabelFont(const QFont& base, qreal size)
{
    m_labelFont = base;
    m_labelSize = size;
    update();
}

QFont ChromeKey::fittedFont(const QString& label, qreal width, bool* elided)
{
    return fittedFont(label, width, Fonts::system(labelSize, QFont::Bold, Fonts::Design::Rounded), labelSize, elided);
}

QFont ChromeKey::fittedFont(const QString& label, qreal width, const QFont& base, qreal size, bool* elided)
{
    // Keys repaint often and every label size is a face of its own to
    // load: a fit once found is kept.
    struct Fit {
        qreal scale;
        bool elided;
    };
    static QHash<QString, Fit> kept;
    const QString key = label + QLatin1Char('\x1f') + base.key() + QLatin1Char('\x1f') + QString::number(size)
        + QLatin1Char('\x1f') + QString::number(width);
    QFont f = base;
    const auto hit = kept.constFind(key);
    if (hit != kept.cend()) {
        Fonts::setSize(f, size * hit->scale);
        if (elided)
            *elided = hit->elided;
        return f;
    }
    Fonts::setSize(f, size);
    qreal shown = QFontMetricsF(f).horizontalAdvance(label);
    qreal scale = 1.0;
    if (shown > width && shown > 0) {
        // Widths grow in proportion to the size, give or take the rounding
        // of each advance: the first guess is the exact proportion, then
        // whole 0.01 steps down from it, as many as the measured excess
        // calls for, until the label fits (rarely more than one try).
        const qreal first = qMax(minimumScale, width / shown);
        scale = first;
        Fonts::setSize(f, size * scale);
        shown = QFontMetricsF(f).horizontalAdvance(label);
        int steps = 0;
        while (shown > width && scale > minimumScale) {
            const qreal wanted = scale * width / shown;
            steps = qMax(steps + 1, int(std::ceil((first - wanted) / 0.01 - 1e-6)));
            scale = qMax(minimumScale, first - steps * 0.01);
            Fonts::setSize(f, size * scale);
            shown = QFontMetricsF(f).horizontalAdvance(label);
        }
    }
    const bool tooWide = shown > width + 0.01;
    if (kept.size() > 4096)
        kept.clear();
    kept.insert(key, {scale, tooWide});
    if (elided)
        *elided = tooWide;
    return f;
}

QSize ChromeKey::sizeHint() const
{
    return QSize(64, 44);
}

QSize ChromeKey::minimumSizeHint() const
{
    return QSize(24, 20);
}

bool ChromeKey::event(QEvent* event)
{
    const bool handled = QPushButton::event(event);
    // A key looks the same under the pointer: the style's hover tracking,
    // set as it polishes buttons, would only draw it again as the pointer
    // comes and goes.
    if (event->type() == QEvent::Polish || event->type() == QEvent::StyleChange)
        setAttribute(Qt::WA_Hover, false);
    // The label is laid out anew in the key's new font or direction.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::LayoutDirectionChange)
        m_shownWidth = -1;
    return handled;
}

bool ChromeKey::hitButton(const QPoint& pos) const
{
    const QRectF capsule = QRectF(rect()).marginsRemoved(kShadowRoom);
    return ChromeShape::Outline::capsule().path(capsule).contains(QPointF(pos) + QPointF(0.5, 0.5));
}

void ChromeKey::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (!isEnabled())
        p.setOpacity(0.5);
    const QRectF capsule = QRectF(rect()).marginsRemoved(kShadowRoom);
    ChromeShape::paint(p, capsule, ChromeShape::Outline::capsule(), isDown(), true);

    const QRectF labelRect = capsule.adjusted(kPadding, 0, -kPadding, 0);
    const QString label = text();
    QFont base = m_labelFont.value_or(Fonts::system(labelSize, QFont::Bold, Fonts::Design::Rounded));
    Fonts::setSize(base, m_labelSize);
    // The label laid out once for its text, face and width: it is drawn
    // twice, and where it fits at its full size, as it mostly does, that
    // layout is its measure too.
    if (label != m_shownLabel || base != m_shownBase || labelRect.width() != m_shownWidth) {
        p.setFont(base);
        m_shown.setText(label, p.font(), p.layoutDirection(), this);
        if (m_shown.naturalWidth() > labelRect.width()) {
            bool elided = false;
            const QFont f = m_labelFont ? fittedFont(label, labelRect.width(), *m_labelFont, m_labelSize, &elided)
                                        : fittedFont(label, labelRect.width(), &elided);
            const QString shown = elided ? QFontMetricsF(f).elidedText(label, Qt::ElideRight, labelRect.width()) : label;
            p.setFont(f);
            m_shown.setText(shown, p.font(), p.layoutDirection(), this);
        }
        m_shownLabel = label;
        m_shownBase = base;
        m_shownWidth = labelRect.width();
    }
    p.setPen(QColor(255, 255, 255, int(0.9 * 255)));
    m_shown.draw(p, labelRect.translated(0, 1));
    p.setPen(labelColor());
    m_shown.draw(p, labelRect);
}
