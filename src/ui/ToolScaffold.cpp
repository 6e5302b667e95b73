#include "ui/ToolScaffold.h"

#include "ui/AppLook.h"
#include "ui/Chrome.h"
#include "ui/ChromeShape.h"
#include "ui/Fonts.h"
#include "ui/ToolIcon.h"
#include "ui/VEXOBadge.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const qreal kIconSize = 26;
const qreal kSpacing = 10;
const qreal kMinSpacer = 6;
const qreal kPadH = 14;
const qreal kPadV = 8;
const QMargins kBarMargins(10, 6, 10, 6);
const qreal kTitleSize = 17;
const qreal kTitleMinScale = 0.7;

QFont titleFont(qreal scale = 1.0)
{
    return Fonts::system(kTitleSize * scale, QFont::Black, Fonts::Design::Rounded);
}

QFont creditFont(ToolScaffold::Credit c)
{
    return Fonts::system(c == ToolScaffold::Credit::Long ? 10 : 9.5, QFont::DemiBold, Fonts::Design::Rounded);
}

// The header bar: icon, title, credit chosen by fit, badge.
class HeaderBar : public QWidget {
public:
    HeaderBar(Tool tool, QWidget* parent) : QWidget(parent), m_tool(tool)
    {
        setAttribute(Qt::WA_TranslucentBackground);
        m_icon = new ToolIcon(tool, kIconSize, this);
        m_badge = new VEXOBadge(true, this);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setAccessibleName(tool.title());
    }

    QSize sizeHint() const override
    {
        const qreal inner = std::max({kIconSize, QFontMetricsF(titleFont()).height(), qreal(m_badge->sizeHint().height())});
        const int h = int(std::ceil(inner + 2 * kPadV)) + kBarMargins.top() + kBarMargins.bottom();
        return QSize(320, h);
    }
    QSize minimumSizeHint() const override { return QSize(0, sizeHint().height()); }

    struct Layout {
        QRectF bar;
        QRectF icon;
        QRectF title;
        QRectF credit;
        QRectF badge;
        ToolScaffold::Credit credit_ = ToolScaffold::Credit::None;
        qreal titleScale = 1.0;
        bool titleElided = false;
    };

    Layout compute() const
    {
        Layout l;
        l.bar = QRectF(rect()).marginsRemoved(QMarginsF(kBarMargins));
        const QRectF inner = l.bar.adjusted(kPadH, kPadV, -kPadH, -kPadV);
        const qreal W = inner.width();
        const QSizeF badge = m_badge->sizeHint();
        const QString title = m_tool.title();
        const qreal titleIdeal = QFontMetricsF(titleFont()).horizontalAdvance(title);
        const qreal fixed = kIconSize + badge.width() + kMinSpacer + 4 * kSpacing;

        // The title keeps its room first; the credit takes what is left.
        const qreal forCredit = W - fixed - titleIdeal;
        const qreal longW = QFontMetricsF(creditFont(ToolScaffold::Credit::Long)).horizontalAdvance(ToolScaffold::longCredit());
        const qreal shortW = QFontMetricsF(creditFont(ToolScaffold::Credit::Short)).horizontalAdvance(ToolScaffold::shortCredit());
        qreal creditW = 0;
        if (longW <= forCredit) {
            l.credit_ = ToolScaffold::Credit::Long;
            creditW = longW;
        } else if (shortW <= forCredit) {
            l.credit_ = ToolScaffold::Credit::Short;
            creditW = shortW;
        }

        const qreal forTitle = qMax<qreal>(0, W - fixed - creditW);
        if (titleIdeal > forTitle && titleIdeal > 0) {
            l.titleScale = qMax(kTitleMinScale, forTitle / titleIdeal);
            QFontMetricsF fm(titleFont(l.titleScale));
            while (l.titleScale > kTitleMinScale && fm.horizontalAdvance(title) > forTitle) {
                l.titleScale = qMax(kTitleMinScale, l.titleScale - 0.01);
                fm = QFontMetricsF(titleFont(l.titleScale));
            }
            l.titleElided = fm.horizontalAdvance(title) > forTitle + 0.01;
        }
        const qreal titleW = qMin(forTitle, QFontMetricsF(titleFont(l.titleScale)).horizontalAdvance(title));

        const qreal cy = inner.center().y();
        l.icon = QRectF(inner.left(), cy - kIconSize / 2, kIconSize, kIconSize);
        l.title = QRectF(l.icon.right() + kSpacing, inner.top(), titleW, inner.height());
        l.badge = QRectF(inner.right() - badge.width(), cy - badge.height() / 2, badge.width(), badge.height());
        l.credit = QRectF(l.badge.left() - kSpacing - creditW, inner.top(), creditW, inner.height());
        return l;
    }

    void resizeEvent(QResizeEvent*) override
    {
        const Layout l = compute();
        const QSize iconHint = m_icon->sizeHint();
        // The icon widget has room for its shadow around the 26-point circle.
        m_icon->setGeometry(int(std::round(l.icon.center().x() - iconHint.width() / 2.0)),
                            int(std::round(l.icon.top() - 1)), iconHint.width(), iconHint.height());
        m_badge->setGeometry(l.badge.toAlignedRect());
    }

    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        const Layout l = compute();
        ChromeShape::paint(p, l.bar, ChromeShape::Outline::roundedRect(22), false, true);

        const QFont tf = titleFont(l.titleScale);
        const QString title = l.titleElided
            ? QFontMetricsF(tf).elidedText(m_tool.title(), Qt::ElideRight, l.title.width())
            : m_tool.title();
        p.setFont(tf);
        p.setPen(QColor(255, 255, 255));
        p.drawText(l.title.translated(0, 1), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title);
        p.setPen(Chrome::ink());
        p.drawText(l.title, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title);

        if (l.credit_ != ToolScaffold::Credit::None) {
            p.setFont(creditFont(l.credit_));
            QColor c = Chrome::ink();
            c.setAlphaF(0.65f);
            p.setPen(c);
            const QString text = l.credit_ == ToolScaffold::Credit::Long ? ToolScaffold::longCredit()
                                                                          : ToolScaffold::shortCredit();
            p.drawText(l.credit.adjusted(-1, 0, 1, 0), Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, text);
        }
    }

    Tool m_tool;
    ToolIcon* m_icon;
    VEXOBadge* m_badge;
};

} // namespace

QString ToolScaffold::longCredit()
{
    return QCoreApplication::translate("ToolScaffold", "Brindleworks by Corvandel Softworks");
}

QString ToolScaffold::shortCredit()
{
    return QCoreApplication::translate("ToolScaffold", "by Corvandel Softworks");
}

ToolScaffold::ToolScaffold(Tool tool, QWidget* content, QWidget* parent) : QWidget(parent), m_tool(tool)
{
    // Light and in the system face, whatever the desktop or the mode of the
    // program says.
    setPalette(AppLook::lightPalette());
    setFont(Fonts::system(13));
    setAutoFillBackground(false);
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_header = new HeaderBar(tool, this);
    m_layout->addWidget(m_header);
    setContent(content);
}

void ToolScaffold::setContent(QWidget* content)
{
    if (m_content && m_content == content)
        return;
    // Everything below the header goes: the old content or the filler.
    while (m_layout->count() > 1) {
        QLayoutItem* item = m_layout->takeAt(1);
        if (QWidget* w = item->widget(); w && w == m_content)
            w->deleteLater();
        delete item;
    }
    m_content = content;
    if (content) {
        content->setParent(this);
        content->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        m_layout->addWidget(content, 1);
        content->show();
    } else {
        m_layout->addStretch(1);
    }
}

ToolScaffold::Credit ToolScaffold::shownCredit() const
{
    return static_cast<HeaderBar*>(m_header)->compute().credit_;
}

qreal ToolScaffold::titleScale() const
{
    return static_cast<HeaderBar*>(m_header)->compute().titleScale;
}

bool ToolScaffold::titleElided() const
{
    return static_cast<HeaderBar*>(m_header)->compute().titleElided;
}

void ToolScaffold::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Chrome::windowBackground(QRectF(rect())));
}
