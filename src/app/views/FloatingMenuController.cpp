#include "app/views/FloatingMenuController.h"

#include "app/views/FloatingPanel.h"

#include <QGuiApplication>
#include <QScreen>

FloatingMenuController& FloatingMenuController::shared()
{
    static FloatingMenuController* c = new FloatingMenuController;
    return *c;
}

QString FloatingMenuController::frameName(bool vertical)
{
    return vertical ? QStringLiteral("VEXO.FloatingMenu.v") : QStringLiteral("VEXO.FloatingMenu.h");
}

QPoint FloatingMenuController::firstPlacement(const QSize& size, const QRect& available, bool vertical)
{
    if (vertical) {
        const int right = available.x() + available.width();
        return {right - size.width() - 12, available.y() + (available.height() - size.height()) / 2};
    }
    return {available.x() + (available.width() - size.width()) / 2, available.y() + 10};
}

bool FloatingMenuController::isShowing() const
{
    return m_panel && m_panel->isVisible();
}

FloatingPanel* FloatingMenuController::makePanel(const FloatingMenuView::Options& options)
{
    auto* panel = new FloatingPanel(options, false);
    // A picture is taken without showing it: its content is made now.
    panel->view();
    return panel;
}

void FloatingMenuController::drop()
{
    if (!m_panel)
        return;
    FloatingPanel* old = m_panel;
    m_panel = nullptr;
    old->saveFrameNow();
    old->setFrameAutosaveName(QString());
    old->hide();
    // Later: the call may come from inside the old panel's own menu.
    old->deleteLater();
}

void FloatingMenuController::build()
{
    drop();
    const FloatingMenuView::Options options = FloatingMenuView::Options::current();
    auto* panel = new FloatingPanel(options, AppSettings::shared().alwaysOnTop());
    const QString name = frameName(options.vertical);
    if (!panel->setFrameUsingName(name)) {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            panel->move(firstPlacement(panel->size(), screen->availableGeometry(), options.vertical));
    }
    panel->setFrameAutosaveName(name);
    connect(panel, &FloatingPanel::hideRequested, this, &FloatingMenuController::hide);
    m_panel = panel;
    ++m_builds;
}

void FloatingMenuController::toggle()
{
    if (isShowing()) {
        m_panel->hide();
    } else {
        if (!m_panel)
            build();
        m_panel->orderFront();
    }
    Q_EMIT showingChanged(isShowing());
}

void FloatingMenuController::show()
{
    if (!m_panel)
        build();
    m_panel->orderFront();
    Q_EMIT showingChanged(isShowing());
}

void FloatingMenuController::hide()
{
    if (m_panel)
        m_panel->hide();
    Q_EMIT showingChanged(isShowing());
}

void FloatingMenuController::applyLevel(bool alwaysOnTop)
{
    if (m_panel)
        m_panel->setAlwaysOnTop(alwaysOnTop);
}

void FloatingMenuController::rebuild()
{
    if (!m_panel)
        return;
    const bool wasVisible = m_panel->isVisible();
    drop();
    if (!wasVisible)
        return;
    build();
    m_panel->orderFront();
    Q_EMIT showingChanged(isShowing());
}
