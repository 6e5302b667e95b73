#include "ui/Alert.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextLayout>
#include <QTimer>
#include <QWindow>

namespace {

// `text` broken into lines no wider than `width` in `font`, a name without
// spaces included: the message box then never has to cut a line it cannot
// wrap itself.
QString wrapped(const QString& text, const QFont& font, int width)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines.append(text.mid(line.textStart(), line.textLength()).trimmed());
    }
    layout.endLayout();
    return lines.join(QLatin1Char('\n'));
}

AlertHandler& handler()
{
    static AlertHandler h;
    return h;
}

QMessageBox::Icon iconFor(AlertStyle style)
{
    switch (style) {
    case AlertStyle::Warning:
        return QMessageBox::Warning;
    case AlertStyle::Informational:
        return QMessageBox::Information;
    case AlertStyle::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::Warning;
}

bool isCancelTitle(QString title)
{
    title.remove(QLatin1Char('&'));
    return title.trimmed().compare(QStringLiteral("Cancel"), Qt::CaseInsensitive) == 0;
}

int showDialog(const AlertRequest& request)
{
    QMessageBox box;
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setIcon(iconFor(request.style));
    box.setTextFormat(Qt::PlainText);
    box.setText(request.title);
    const QScreen* screen = QGuiApplication::primaryScreen();
    // Qt keeps a message box within the screen's width less 480 pixels; the
    // icon and the margins take about 110 of that.
    const int screenWidth = screen ? screen->availableGeometry().width() : 1024;
    const int lineWidth = qBound(160, qMin(screenWidth - 480, 1000) - 110, 360);
    box.setInformativeText(request.informative);
    box.setWindowModality(Qt::ApplicationModal);
    // The message in bold over its explanation, with room to read both.
    if (auto* message = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        QFont f = message->font();
        f.setBold(true);
        message->setFont(f);
        const QString text = wrapped(request.title, f, lineWidth);
        message->setText(text);
        // The box lays the label out again whenever it is shown or its style
        // changes, and then takes no width from its text: ask for the widest
        // line outright, or a window manager's second pass cuts it.
        const QFontMetrics metrics(f);
        int widest = qMin(260, lineWidth);
        for (const QString& line : text.split(QLatin1Char('\n')))
            widest = qMax(widest, metrics.horizontalAdvance(line) + 2);
        message->setMinimumWidth(qMin(widest, lineWidth + 2));
        message->setWordWrap(true);
    }
    if (auto* info = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
        info->setMinimumWidth(qMin(260, lineWidth));
    QList<QPushButton*> buttons;
    for (const QString& title : request.buttons) {
        auto* b = new QPushButton(title, &box);
        buttons.append(b);
    }
    // The first button is the default one and sits at the trailing end, as
    // confirmations do on this desktop; the others follow it leftwards.
    for (auto it = buttons.crbegin(); it != buttons.crend(); ++it)
        box.addButton(*it, QMessageBox::ActionRole);
    box.setDefaultButton(buttons.first());
    QPushButton* escape = nullptr;
    for (QPushButton* b : buttons) {
        if (isCancelTitle(b->text()))
            escape = b;
    }
    if (!escape && buttons.size() == 1)
        escape = buttons.first();
    if (escape)
        box.setEscapeButton(escape);
    box.exec();
    const int index = int(buttons.indexOf(static_cast<QPushButton*>(box.clickedButton())));
    // With no escape button the box cannot close without a click; should the
    // window system close it anyway, that is the first button's answer only
    // when it is the sole button, else the last (the least committal).
    if (index < 0)
        return alertFirstButton + (escape ? int(buttons.indexOf(escape)) : int(buttons.size()) - 1);
    return alertFirstButton + index;
}

// Raises each dialog as it is shown into the level of the windows kept on
// top, where the window system stacks the newest first, and gives it the
// focus once it is on screen.
class DialogsInFront : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The show event comes before the window is mapped: the level set
        // now is the one the window manager sees first.
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (!dialog || !dialog->isWindow())
            return false;
        if (QWindow* handle = dialog->windowHandle(); handle && !handle->flags().testFlag(Qt::WindowStaysOnTopHint))
            handle->setFlags(handle->flags() | Qt::WindowStaysOnTopHint);
        QTimer::singleShot(0, dialog, [d = QPointer<QDialog>(dialog)] {
            if (d && d->isVisible()) {
                d->raise();
                d->activateWindow();
            }
        });
        return false;
    }
};

} // namespace

void keepDialogsInFront()
{
    static DialogsInFront* filter = nullptr;
    if (filter || !qApp)
        return;
    filter = new DialogsInFront;
    filter->setParent(qApp);
    qApp->installEventFilter(filter);
}

int runAlert(const QString& title, const QString& informative, AlertStyle style, const QStringList& buttons)
{
    AlertRequest request{title, informative, style, buttons};
    if (request.buttons.isEmpty())
        request.buttons << QCoreApplication::translate("Alert", "OK");
    if (handler())
        return handler()(request);
    return showDialog(request);
}

AlertHandler setAlertHandler(AlertHandler h)
{
    return std::exchange(handler(), std::move(h));
}
