#include "app/views/FloatingMenuView.h"

#include "core/AppSettings.h"
#include "app/views/FloatingToolButton.h"
#include "app/views/MainMenu.h"
#include "app/views/ShellCommands.h"
#include "app/views/WindowDragHandle.h"
#include "app/views/WindowManager.h"
#include "ui/AccessibleName.h"
#include "ui/Chrome.h"
#include "ui/ChromeShape.h"
#include "ui/Fonts.h"
#include "ui/Symbols.h"
#include "ui/VEXOBadge.h"

#include <QBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

namespace {

constexpr int kOuterPadding = 8;
constexpr int kStripSpacing = 6;

// The line between the tools and the games.
class GroupSeparator : public QWidget {
public:
    GroupSeparator(bool vertical, qreal iconSize, QWidget* parent)
        : QWidget(parent)
    {
        setObjectName(QStringLiteral("groupSeparator"));
        AccessibleName::setSoon(this, QStringLiteral("Games"));
        m_line = FloatingMenuView::separatorLine(vertical, iconSize);
        setFixedSize(FloatingMenuView::separatorSize(vertical, iconSize));
    }
    QSizeF lineSize() const { return m_line; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QRectF r(QPointF(0, 0), m_line);
        r.moveCenter(QRectF(rect()).center());
        p.fillRect(r, Chrome::rim(r));
    }

private:
    QSizeF m_line;
};

// The caption under the row: the hovered tool's title, else the credit.
// As wide as the row; its text is elided to that.
class CaptionLine : public QWidget {
public:
    explicit CaptionLine(FloatingMenuView* view)
        : QWidget(view)
        , m_view(view)
    {
        setObjectName(QStringLiteral("caption"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    QSize sizeHint() const override { return {0, FloatingMenuView::captionHeight}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        // The face is first wanted here, not before the panel is shown.
        if (!m_font)
            m_font = FloatingMenuView::captionFont();
        QPainter p(this);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setFont(*m_font);
        const QFontMetrics fm(*m_font);
        const QRect text = rect().adjusted(0, 3, 0, -1);
        const QString t = fm.elidedText(m_view->captionText(), Qt::ElideRight, text.width());
        p.setPen(QColor(255, 255, 255));
        p.drawText(text.translated(0, 1), Qt::AlignHCenter | Qt::AlignTop, t);
        QColor ink = Chrome::ink();
        ink.setAlphaF(0.8f);
        p.setPen(ink);
        p.drawText(text, Qt::AlignHCenter | Qt::AlignTop, t);
    }

private:
    FloatingMenuView* m_view;
    std::optional<QFont> m_font;
};

} // namespace

FloatingMenuView::Options FloatingMenuView::Options::current()
{
    const AppSettings& s = AppSettings::shared();
    return {s.vertical(), s.largeButtons(), s.showLabels()};
}

QSizeF FloatingMenuView::separatorLine(bool vertical, qreal iconSize)
{
    // The column: a horizontal line 0.8 × the icon wide, 2 high; the row: a
    // vertical line 2 wide, 0.75 × the icon high.
    return vertical ? QSizeF(0.8 * iconSize, 2) : QSizeF(2, 0.75 * iconSize);
}

QSize FloatingMenuView::separatorSize(bool vertical, qreal iconSize)
{
    // Padded 2 on either side along the strip.
    const QSizeF line = separatorLine(vertical, iconSize);
    const QSizeF padded = vertical ? line + QSizeF(0, 4) : line + QSizeF(4, 0);
    return {qCeil(padded.width()), qCeil(padded.height())};
}

QSize FloatingMenuView::moreSize(bool largeButtons)
{
    // The glyph, padded 1 all round, and the 3 a tool button's frame adds.
    const int side = moreGlyph(largeButtons) + 5;
    return {side, side};
}

QSize FloatingMenuView::naturalSize(const Options& options)
{
    const qreal icon = iconSize(options.largeButtons);
    const bool vertical = options.vertical;
    // The strip: the grip, the tools, the separator, the games and "More",
    // 6 apart along it, centred across it.
    QList<QSize> parts{VEXOBadge::designSize(!options.largeButtons), separatorSize(vertical, icon),
                       moreSize(options.largeButtons)};
    const QSize button(qRound(icon), qRound(icon));
    for (qsizetype i = 0; i < Tool::allCases().size(); ++i)
        parts.append(button);
    int along = kStripSpacing * int(parts.size() - 1);
    int across = 0;
    for (const QSize& part : std::as_const(parts)) {
        along += vertical ? part.height() : part.width();
        across = qMax(across, vertical ? part.width() : part.height());
    }
    if (vertical)
        return {across + 2 * (kOuterPadding + 8), along + 2 * (kOuterPadding + 12)};
    const int caption = options.showLabels ? captionHeight : 0;
    return {along + 2 * (kOuterPadding + 14), across + caption + 2 * (kOuterPadding + 8)};
}

QFont FloatingMenuView::captionFont()
{
    return Fonts::system(10.5, QFont::ExtraBold, Fonts::Design::Rounded);
}

QString FloatingMenuView::defaultCaption()
{
    return QStringLiteral("Brindleworks by Corvandel Softworks");
}

FloatingMenuView::FloatingMenuView(const Options& options, QWidget* parent)
    : QWidget(parent)
    , m_options(options)
{
    setObjectName(QStringLiteral("floatingMenu"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TranslucentBackground);
    const qreal icon = iconSize(options.largeButtons);
    const bool vertical = options.vertical;

    m_grip = new WindowDragHandle(options.largeButtons, this);

    QList<Tool> tools, games;
    for (const Tool t : Tool::allCases())
        (t.isGame() ? games : tools).append(t);
    auto makeButton = [this, icon](Tool t) {
        auto* b = new FloatingToolButton(t, icon, this);
        connect(b, &FloatingToolButton::entered, this, &FloatingMenuView::toolEntered);
        connect(b, &FloatingToolButton::left, this, &FloatingMenuView::toolLeft);
        connect(b, &QAbstractButton::clicked, this, [t] { WindowManager::shared().open(t); });
        m_buttons.append(b);
        return b;
    };

    m_separator = new GroupSeparator(vertical, icon, this);

    m_more = new QToolButton(this);
    m_more->setObjectName(QStringLiteral("more"));
    m_more->setFocusPolicy(Qt::NoFocus);
    m_more->setAutoRaise(true);
    m_more->setPopupMode(QToolButton::InstantPopup);
    m_more->setToolTip(QStringLiteral("More — settings, help, about"));
    AccessibleName::setSoon(m_more, QStringLiteral("More options"));
    const int glyph = moreGlyph(options.largeButtons);
    m_more->setIcon(Symbols::icon(QStringLiteral("ellipsis.circle.fill"), Chrome::ink()));
    m_more->setIconSize(QSize(glyph, glyph));
    m_more->setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; padding: 1px; }"
                                         "QToolButton::menu-indicator { image: none; width: 0px; }"));
    m_moreMenu = makeMoreMenu();
    m_more->setMenu(m_moreMenu);
    m_more->setFixedSize(moreSize(options.largeButtons));

    auto* strip = new QBoxLayout(vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    strip->setSpacing(kStripSpacing);
    const Qt::Alignment across = vertical ? Qt::AlignHCenter : Qt::AlignVCenter;
    strip->addWidget(m_grip, 0, across);
    for (const Tool t : std::as_const(tools))
        strip->addWidget(makeButton(t), 0, across);
    strip->addWidget(m_separator, 0, across);
    for (const Tool t : std::as_const(games))
        strip->addWidget(makeButton(t), 0, across);
    strip->addWidget(m_more, 0, across);

    auto* outer = new QVBoxLayout(this);
    outer->setSpacing(0);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    if (vertical) {
        outer->setContentsMargins(kOuterPadding + 8, kOuterPadding + 12, kOuterPadding + 8, kOuterPadding + 12);
        outer->addLayout(strip);
    } else {
        outer->setContentsMargins(kOuterPadding + 14, kOuterPadding + 8, kOuterPadding + 14, kOuterPadding + 8);
        outer->addLayout(strip);
        if (options.showLabels) {
            m_caption = new CaptionLine(this);
            outer->addWidget(m_caption);
        }
    }
}

FloatingToolButton* FloatingMenuView::button(Tool tool) const
{
    for (FloatingToolButton* b : m_buttons) {
        if (b->tool() == tool)
            return b;
    }
    return nullptr;
}

QString FloatingMenuView::captionText() const
{
    return m_hovered ? m_hovered->title() : defaultCaption();
}

void FloatingMenuView::toolEntered(Tool tool)
{
    setHovered(tool);
}

void FloatingMenuView::toolLeft(Tool tool)
{
    if (m_hovered == tool)
        setHovered(std::nullopt);
}

void FloatingMenuView::setHovered(std::optional<Tool> tool)
{
    if (m_hovered == tool)
        return;
    m_hovered = tool;
    for (FloatingToolButton* b : std::as_const(m_buttons))
        b->animateTo(m_hovered == b->tool() ? FloatingToolButton::hoverScale : 1.0);
    if (m_caption)
        m_caption->update();
    Q_EMIT hoveredChanged();
}

QMenu* FloatingMenuView::makeMoreMenu()
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("moreMenu"));
    menu->addAction(QStringLiteral("Settings…"), this, [] { ShellCommands::openSettings(); });
    menu->addAction(QStringLiteral("Brindleworks Help"), this, [] { ShellCommands::openHelp(); });
    menu->addAction(QStringLiteral("About Brindleworks"), this, [] { ShellCommands::openAbout(); });
    menu->addAction(MainMenu::websiteTitle(), this, [] { ShellCommands::visitWebsite(); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("Export My Data…"), this, [] { ShellCommands::exportData(); });
    menu->addSeparator();
    QAction* layout = menu->addAction(m_options.vertical ? QStringLiteral("Horizontal Layout")
                                                         : QStringLiteral("Vertical Layout"));
    layout->setObjectName(QStringLiteral("layout"));
    // The change rebuilds the panel that holds this menu: let the menu close
    // first.
    connect(layout, &QAction::triggered, this, [] {
        QTimer::singleShot(0, [] {
            AppSettings& s = AppSettings::shared();
            s.setVertical(!s.vertical());
        });
    });
    QAction* hide = menu->addAction(QStringLiteral("Hide Floating Menu"));
    hide->setObjectName(QStringLiteral("hide"));
    connect(hide, &QAction::triggered, this, &FloatingMenuView::hideRequested);
    menu->addSeparator();
    menu->addAction(QStringLiteral("Quit Brindleworks"), this, [] { ShellCommands::quit(); });
    return menu;
}

QRectF FloatingMenuView::surfaceRect() const
{
    return QRectF(rect()).adjusted(kOuterPadding, kOuterPadding, -kOuterPadding, -kOuterPadding);
}

QImage FloatingMenuView::surface(qreal dpr) const
{
    const QSize pixels = (QSizeF(size()) * dpr).toSize();
    if (m_surface.size() == pixels && qFuzzyCompare(m_surface.devicePixelRatio(), dpr))
        return m_surface;
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const ChromeShape::Outline outline = m_options.vertical
        ? ChromeShape::Outline::roundedRect(m_options.largeButtons ? 31 : 25)
        : ChromeShape::Outline::capsule();
    ChromeShape::paint(p, surfaceRect(), outline, false, false);
    p.end();
    m_surface = image;
    return image;
}

void FloatingMenuView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPointF(0, 0), surface(devicePixelRatioF()));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // The hovered button last, so its growth lies over its neighbours.
    FloatingToolButton* front = nullptr;
    for (FloatingToolButton* b : std::as_const(m_buttons)) {
        if (b->scale() > 1.0 && (!front || b->scale() > front->scale()))
            front = b;
    }
    for (FloatingToolButton* b : std::as_const(m_buttons)) {
        if (b != front)
            b->paintIcon(p);
    }
    if (front)
        front->paintIcon(p);
    if (!m_drawn) {
        m_drawn = true;
        Q_EMIT firstFrameDrawn();
    }
}

// The panel moves by its background too.
void FloatingMenuView::mousePressEvent(QMouseEvent* event)
{
    QWidget* w = window();
    if (event->button() != Qt::LeftButton || w == this) {
        QWidget::mousePressEvent(event);
        return;
    }
    QWindow* handle = w->windowHandle();
    if (handle && handle->startSystemMove()) {
        event->accept();
        return;
    }
    m_dragging = true;
    m_dragOffset = event->globalPosition().toPoint() - w->pos();
    event->accept();
}

void FloatingMenuView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        window()->move(event->globalPosition().toPoint() - m_dragOffset);
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void FloatingMenuView::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}
