#include "ui/ChromePanel.h"

#include "ui/Chrome.h"
#include "ui/ChromeShape.h"
#include "ui/Fonts.h"
#include "ui/LineLabel.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// Room around the panel for its shadow (radius 3, offset 1).
const QMargins kShadowRoom(3, 2, 3, 4);

} // namespace

ChromePanel::ChromePanel(QWidget* parent) : ChromePanel(QString(), nullptr, parent) {}

ChromePanel::ChromePanel(const QString& title, QWidget* parent) : ChromePanel(title, nullptr, parent) {}

ChromePanel::ChromePanel(const QString& title, QWidget* content, QWidget* parent) : QWidget(parent), m_title(title)
{
    build();
    setTitle(title);
    if (content)
        setContent(content);
}

void ChromePanel::build()
{
    m_outer = new QVBoxLayout(this);
    m_outer->setContentsMargins(kShadowRoom.left() + padding, kShadowRoom.top() + padding,
                                kShadowRoom.right() + padding, kShadowRoom.bottom() + padding);
    m_outer->setSpacing(8);

    m_titleLabel = new LineLabel(QString(), this);
    QFont f = Fonts::system(10.5, QFont::Black, Fonts::Design::Rounded);
    Fonts::setTracking(f, 1.0);
    m_titleLabel->setFont(f);
    QPalette pal = m_titleLabel->palette();
    pal.setColor(QPalette::WindowText, Chrome::turquoiseDeep());
    m_titleLabel->setPalette(pal);
    m_outer->addWidget(m_titleLabel, 0, Qt::AlignLeft);

    m_content = new QVBoxLayout;
    m_content->setContentsMargins(0, 0, 0, 0);
    m_content->setSpacing(8);
    m_outer->addLayout(m_content, 1);
}

void ChromePanel::setTitle(const QString& title)
{
    m_title = title;
    m_titleLabel->setText(title.toUpper());
    m_titleLabel->setVisible(!title.isEmpty());
}

void ChromePanel::setContent(QWidget* content)
{
    while (QLayoutItem* item = m_content->takeAt(0)) {
        if (QWidget* w = item->widget())
            w->deleteLater();
        delete item;
    }
    if (content)
        m_content->addWidget(content);
}

void ChromePanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).marginsRemoved(QMarginsF(kShadowRoom));
    const auto outline = ChromeShape::Outline::roundedRect(cornerRadius);
    const QPainterPath shape = outline.path(r);
    // The opaque fill hides the middle of the shadow: only the band along
    // the edges, where it shows, is drawn. On whole pixels the fill covers
    // the panel's own rectangle between the corners, so there only what
    // falls outside it is drawn.
    const QRect hidden = r.adjusted(cornerRadius + 2, cornerRadius + 2, -cornerRadius - 2, -cornerRadius - 2).toRect();
    const bool whole = QRectF(r.toRect()) == r;
    ChromeShape::paintRoundedRectShadow(p, r, cornerRadius, 3.0, 1.0, 0.12, hidden.isValid() ? hidden : QRect(),
                                        whole && hidden.isValid() ? r.toRect() : QRect());
    p.fillPath(shape, Chrome::cream());
    p.strokePath(outline.insetPath(r, 0.6), QPen(QBrush(Chrome::rim(r)), 1.2));
}
