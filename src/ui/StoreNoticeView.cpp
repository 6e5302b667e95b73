#include "ui/StoreNoticeView.h"

#include "ui/Chrome.h"
#include "ui/ChromeButton.h"
#include "ui/Fonts.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QVBoxLayout>

namespace {
constexpr int kWidth = 380;
constexpr int kMargin = 14;
}

StoreNoticeView::StoreNoticeView(StoreEvents& events, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , m_events(events)
{
    setObjectName(QStringLiteral("storeNotice"));
    setWindowTitle(QStringLiteral("Brindleworks"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedWidth(kWidth);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setSpacing(8);
    m_heading = new QLabel(QStringLiteral("Your data needs attention"), this);
    m_heading->setFont(Fonts::style(Fonts::TextStyle::Headline));
    layout->addWidget(m_heading);
    m_list = new QVBoxLayout;
    m_list->setSpacing(6);
    layout->addLayout(m_list);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* dismiss = new ChromeButton(QStringLiteral("Dismiss"), false, true, this);
    dismiss->setObjectName(QStringLiteral("dismiss"));
    dismiss->setFocusPolicy(Qt::NoFocus);
    connect(dismiss, &QPushButton::clicked, this, &StoreNoticeView::dismiss);
    buttons->addWidget(dismiss);
    layout->addLayout(buttons);

    connect(&m_events, &StoreEvents::problemAdded, this, [this] { refresh(true); });
    connect(&m_events, &StoreEvents::problemCleared, this, [this] { refresh(false); });
    refresh(!m_events.problems().isEmpty());
}

StoreNoticeView& StoreNoticeView::shared()
{
    static StoreNoticeView* view = new StoreNoticeView(StoreEvents::shared());
    return *view;
}

QStringList StoreNoticeView::messages() const
{
    QStringList out;
    for (const QLabel* l : m_labels)
        out.append(l->text());
    return out;
}

void StoreNoticeView::dismiss()
{
    hide();
}

void StoreNoticeView::refresh(bool announce)
{
    qDeleteAll(m_labels);
    m_labels.clear();
    const QList<StoreEvents::Problem> problems = m_events.problems();
    for (const StoreEvents::Problem& p : problems) {
        auto* label = new QLabel(StoreEvents::describe(p), this);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setFont(Fonts::style(Fonts::TextStyle::Callout));
        m_list->addWidget(label);
        // Shown now, not later from the event loop, so that the size below
        // counts its wrapped lines.
        label->setVisible(true);
        m_labels.append(label);
    }
    if (problems.isEmpty()) {
        hide();
        return;
    }
    adjustSize();
    if (announce && !isVisible()) {
        place();
        show();
    }
}

void StoreNoticeView::place()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    move(area.right() - width() - 16, area.top() + 16);
}

void StoreNoticeView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(r, 10, 10);
    p.fillPath(path, Chrome::windowBackground(r));
    // A cherry edge on the left marks it as a warning without an alert.
    p.save();
    p.setClipPath(path);
    p.fillRect(QRectF(r.left(), r.top(), 5, r.height()), Chrome::cherry());
    p.restore();
    p.setPen(QPen(Chrome::grey(0.55), 1));
    p.drawPath(path);
}
