#include "ui/AppLook.h"

#include "ui/Chrome.h"
#include "ui/Fonts.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStyleFactory>
#include <QTextEdit>

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
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        app.setStyle(fusion);
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

} // namespace AppLook
