#include "ui/AppLook.h"

#include "ui/Chrome.h"
#include "ui/Fonts.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QIconEngine>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTextEdit>

#include <optional>

namespace AppLook {

namespace {

// Selections and the coloured parts of sliders turn grey while their window
// is inactive. Only the widgets that draw them carry that difference: a
// widget whose palette is the same in both states is not repainted when its
// window is activated or deactivated.
constexpr const char* kGreyWhenInactive[] = {"QLineEdit", "QTextEdit", "QPlainTextEdit", "QLabel",
                                             "QAbstractItemView", "QSlider", "QProgressBar"};

// A widget that shows no selection looks the same in an active and an
// inactive window: the window's activation passes it by instead of
// repainting it.
class UnselectedStayPut : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::WindowActivate && type != QEvent::WindowDeactivate && type != QEvent::ActivationChange)
            return false;
        if (auto* line = qobject_cast<QLineEdit*>(watched))
            return !line->hasSelectedText();
        if (auto* label = qobject_cast<QLabel*>(watched))
            return !label->hasSelectedText();
        // Text and item views: only the activation repaint is passed by;
        // their own handling of the change goes on.
        if (type == QEvent::ActivationChange)
            return false;
        if (auto* text = qobject_cast<QTextEdit*>(watched))
            return !text->textCursor().hasSelection();
        if (auto* plain = qobject_cast<QPlainTextEdit*>(watched))
            return !plain->textCursor().hasSelection();
        if (auto* view = qobject_cast<QAbstractItemView*>(watched))
            return !view->selectionModel() || !view->selectionModel()->hasSelection();
        return false;
    }
};

// An icon of the style made when it is first drawn or measured. Every menu
// bar and tool bar is given its overflow button's icon as it is made, and
// that button shows only when the bar runs out of room: reading the icon's
// images (which loads the image and icon plugins) waits until then.
class StyleIconEngine : public QIconEngine {
public:
    StyleIconEngine(const QStyle* style, QStyle::StandardPixmap which) : m_style(style), m_which(which) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    bool isNull() override { return icon().isNull(); }
    QString key() const override { return QStringLiteral("bwStyleIcon"); }
    QIconEngine* clone() const override
    {
        auto* copy = new StyleIconEngine(m_style, m_which);
        copy->m_icon = m_icon;
        return copy;
    }

private:
    const QIcon& icon()
    {
        if (!m_icon)
            m_icon = m_style ? m_style->standardIcon(m_which) : QIcon();
        return *m_icon;
    }

    QPointer<const QStyle> m_style;
    QStyle::StandardPixmap m_which;
    std::optional<QIcon> m_icon;
};

// The application's style: Fusion, its bars' overflow icons read when shown.
class LookStyle : public QProxyStyle {
public:
    explicit LookStyle(QStyle* base) : QProxyStyle(base) {}

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override
    {
        // Asked of the base style when first drawn, in the application's
        // direction (the bar's own, should it be mirrored alone, is not
        // known by then).
        if (!option && (which == SP_ToolBarHorizontalExtensionButton || which == SP_ToolBarVerticalExtensionButton)
            && (!widget || widget->layoutDirection() == QGuiApplication::layoutDirection()))
            return QIcon(new StyleIconEngine(baseStyle(), which));
        return QProxyStyle::standardIcon(which, option, widget);
    }
};

void setHighlight(QPalette& p)
{
    p.setColor(QPalette::Highlight, QColor(0, 99, 225));
    p.setColor(QPalette::HighlightedText, Qt::white);
}

} // namespace

QPalette lightPalette()
{
    const QColor window = Chrome::windowColor();
    const QColor text = Qt::black;
    const QColor disabledText(0, 0, 0, 110);
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, QColor(244, 243, 240));
    p.setColor(QPalette::ToolTipBase, QColor(255, 255, 240));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(0, 0, 0, 64));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(240, 239, 236));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Light, Qt::white);
    p.setColor(QPalette::Midlight, QColor(227, 226, 222));
    p.setColor(QPalette::Mid, QColor(184, 183, 178));
    p.setColor(QPalette::Dark, QColor(140, 139, 135));
    p.setColor(QPalette::Shadow, QColor(70, 70, 70));
    p.setColor(QPalette::Link, QColor(0, 104, 218));
    p.setColor(QPalette::LinkVisited, QColor(128, 60, 180));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabledText);
    return p;
}

QPalette applicationPalette()
{
    QPalette p = lightPalette();
    setHighlight(p);
    return p;
}

QPalette selectionPalette()
{
    QPalette p = applicationPalette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, QColor(210, 210, 210));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
    return p;
}

void apply(QApplication& app)
{
    if (!dynamic_cast<LookStyle*>(QApplication::style())) {
        if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
            app.setStyle(new LookStyle(fusion));
    }
    app.setPalette(applicationPalette());
    const QPalette selection = selectionPalette();
    for (const char* className : kGreyWhenInactive)
        QApplication::setPalette(selection, className);
    static QPointer<UnselectedStayPut> filter;
    if (!filter) {
        filter = new UnselectedStayPut(&app);
        app.installEventFilter(filter);
    }
    app.setFont(Fonts::system(13));
}

QString styleName()
{
    const QStyle* style = QApplication::style();
    if (const auto* proxy = qobject_cast<const QProxyStyle*>(style); proxy && proxy->baseStyle())
        style = proxy->baseStyle();
    return style ? style->name() : QString();
}

} // namespace AppLook
