#include "app/views/WindowManager.h"

#include "core/SettingsStore.h"
#include "app/views/MainMenu.h"
#include "app/views/ShellServices.h"
#include "app/views/ToolViewFactory.h"
#include "ui/SpellCheckingWindow.h"
#include "ui/ToolScaffold.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>

namespace {

// Keeps a window's frame in the settings under its frame name: every move
// and resize is written shortly after it ends, and at once when the window
// closes.
class FrameAutosave : public QObject {
public:
    FrameAutosave(QWidget* window, const QString& name)
        : QObject(window)
        , m_window(window)
        , m_name(name)
    {
        setObjectName(QStringLiteral("bwFrameAutosave"));
        m_timer.setSingleShot(true);
        m_timer.setInterval(300);
        connect(&m_timer, &QTimer::timeout, this, &FrameAutosave::save);
        window->installEventFilter(this);
    }

    // Applies the saved frame, if any; false when there is none or it does
    // not read.
    bool restore()
    {
        const QString text = SettingsStore::stringValue(m_name, QString());
        if (text.isEmpty())
            return false;
        const QByteArray bytes = QByteArray::fromBase64(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        return !bytes.isEmpty() && m_window->restoreGeometry(bytes);
    }

    void save()
    {
        m_timer.stop();
        if (!m_window)
            return;
        SettingsStore::settings().setValue(m_name, QString::fromLatin1(m_window->saveGeometry().toBase64()));
        SettingsStore::settings().sync();
    }

    void saveIfPending()
    {
        if (m_timer.isActive())
            save();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window) {
            switch (event->type()) {
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::WindowStateChange:
                if (m_window->isVisible())
                    m_timer.start();
                break;
            case QEvent::Close:
            case QEvent::Hide:
                if (m_window->isVisible() || m_timer.isActive())
                    save();
                break;
            default:
                break;
            }
        }
        return false;
    }

private:
    QPointer<QWidget> m_window;
    QString m_name;
    QTimer m_timer;
};

// A tool's view in a window smaller than the view can be laid out in
// scrolls, so every tool window opens at its own size and can be made as
// small as the common minimum.
QWidget* scrolling(QWidget* view)
{
    auto* area = new QScrollArea;
    area->setObjectName(QStringLiteral("toolScroll"));
    area->setFrameShape(QFrame::NoFrame);
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidgetResizable(true);
    area->setAutoFillBackground(false);
    area->viewport()->setAutoFillBackground(false);
    area->setWidget(view);
    return area;
}

// A new window never starts with a push button focused (buttons take the
// keyboard only when tabbed to): otherwise Space typed into a window just
// opened would press its first button - a second sticky note, a new goal.
// The window itself holds the focus then, so its own shortcuts still work.
void keepFirstFocusOffButtons(QWidget* window)
{
    for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain()) {
        if (w->window() != window || !(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled()
            || !w->isVisibleTo(window))
            continue;
        if (qobject_cast<QAbstractButton*>(w))
            window->setFocus(Qt::OtherFocusReason);
        return;
    }
}

FrameAutosave* autosaveOf(QWidget* w)
{
    QObject* o = w ? w->findChild<QObject*>(QStringLiteral("bwFrameAutosave"), Qt::FindDirectChildrenOnly) : nullptr;
    return dynamic_cast<FrameAutosave*>(o);
}

} // namespace

WindowManager& WindowManager::shared()
{
    static WindowManager* m = new WindowManager;
    return *m;
}

QString WindowManager::windowTitle(const QString& title)
{
    return title + QStringLiteral(" — Brindleworks by VEXO");
}

QWidget* WindowManager::content(Tool tool)
{
    return makeToolView(tool);
}

QWidget* WindowManager::contentArea(QWidget* window)
{
    auto* main = qobject_cast<QMainWindow*>(window);
    return main ? main->centralWidget() : nullptr;
}

QList<QWidget*> WindowManager::allWindows() const
{
    QList<QWidget*> list;
    for (const Tool t : Tool::allCases()) {
        if (QWidget* w = m_windows.value(t))
            list.append(w);
    }
    for (QWidget* w : m_extra)
        list.append(w);
    return list;
}

void WindowManager::front(QWidget* w)
{
    if (w->isMinimized())
        w->showNormal();
    // Closing a window can take its focus away, and the window system may
    // then hand it to the first button; it comes back as it first was.
    if (!w->focusWidget() || qobject_cast<QAbstractButton*>(w->focusWidget()))
        keepFirstFocusOffButtons(w);
    w->show();
    w->raise();
    w->activateWindow();
}

QWidget* WindowManager::makeWindow(const QString& title, const QString& frame, QSize size, QSize minimum,
                                   bool resizable, QWidget* content)
{
    auto* w = new SpellCheckingWindow;
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    w->setAttribute(Qt::WA_QuitOnClose, false);
    w->setWindowTitle(windowTitle(title));
    w->setMenuBar(MainMenu::shared().build(w));
    // An extra window never gets smaller than its content can be laid out
    // in; a tool's view scrolls inside its scaffold instead (see open()).
    const QSize contentMinimum = minimum.expandedTo(content->minimumSizeHint());
    content->setMinimumSize(contentMinimum);
    size = size.expandedTo(contentMinimum);
    w->setCentralWidget(content);
    const int bar = w->menuBar()->sizeHint().height();
    const QSize windowSize(size.width(), size.height() + bar);
    if (resizable) {
        w->resize(windowSize);
    } else {
        w->setWindowFlag(Qt::WindowMaximizeButtonHint, false);
        w->setFixedSize(windowSize);
    }
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        w->move(avail.x() + (avail.width() - windowSize.width()) / 2,
                avail.y() + (avail.height() - windowSize.height()) / 2);
    }
    auto* autosave = new FrameAutosave(w, frameName(frame));
    autosave->restore();
    keepFirstFocusOffButtons(w);
    return w;
}

QWidget* WindowManager::open(Tool tool)
{
    if (tool == Tool::wordProcessor && ShellServices::shared().openOrFrontWordDocument) {
        ShellServices::shared().openOrFrontWordDocument();
        return QApplication::activeWindow();
    }
    if (QWidget* w = m_windows.value(tool)) {
        front(w);
        return w;
    }
    const QSize size = tool.defaultSize().value_or(wordProcessorFallbackSize);
    auto* scaffold = new ToolScaffold(tool, scrolling(content(tool)));
    QWidget* w = makeWindow(tool.title(), tool.rawValue(), size, minimumContentSize, true, scaffold);
    w->setObjectName(tool.rawValue());
    m_windows.insert(tool, w);
    front(w);
    settleLayout();
    return w;
}

void WindowManager::settleLayout()
{
    // The buttons of a new window ask to be measured again once polished,
    // and the scroll area around a tool's view decides on its scroll bar
    // from that: done now, before the window is first drawn, the first
    // frame is laid out as the window stays (no scroll bar drawn and then
    // taken away, no second drawing of the whole window).
    QCoreApplication::sendPostedEvents(nullptr, QEvent::PolishRequest);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

QWidget* WindowManager::openExtra(const QString& key, const QString& title, QSize size,
                                  const std::function<QWidget*()>& content, bool resizable)
{
    if (QWidget* w = m_extra.value(key)) {
        front(w);
        return w;
    }
    QWidget* view = content ? content() : nullptr;
    if (!view)
        view = new QWidget;
    const QSize minimum(qMin(size.width(), minimumContentSize.width()),
                        qMin(size.height(), minimumContentSize.height()));
    QWidget* w = makeWindow(title, key, size, minimum, resizable, view);
    w->setObjectName(key);
    m_extra.insert(key, w);
    front(w);
    return w;
}

void WindowManager::saveFrames()
{
    for (QWidget* w : allWindows()) {
        if (FrameAutosave* a = autosaveOf(w))
            a->saveIfPending();
    }
}
