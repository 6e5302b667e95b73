#pragma once

#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>
#include <QUuid>
#include <array>
#include <vector>

// A note window as it comes up at start on an X server: a bare X window
// made by the program itself, whose picture of the note is kept by the X
// server (as the window's background). Everything the window manager reads
// is set before the window is first mapped and nothing waits for an answer
// from the server, so however many notes are out they cost the program
// almost nothing and are never repainted by it. The first time the pointer
// comes over one, it asks to be replaced by the full note window
// (wakeRequested); a close request from the window manager is passed on
// (closeRequested).
//
// It looks to the window manager as the full note window does: a frameless
// utility window of the application's group that never takes the focus, at
// the position the program gives, on every workspace, floating above
// ordinary windows when pinned.
class StickyLightWindow : public QObject {
    Q_OBJECT
public:
    // Whether light windows can be shown here: an X server of depth 24 or
    // 32, with screen and window coordinates the same (no scaling).
    static bool isAvailable();

    StickyLightWindow(const QUuid& id, const QRect& geometry, bool onTop);
    ~StickyLightWindow() override;

    QUuid noteID() const { return m_id; }
    quint32 winId() const { return m_window; }
    QRect geometry() const { return m_geometry; }
    QSize size() const { return m_geometry.size(); }
    int width() const { return m_geometry.width(); }

    bool isOnTop() const { return m_onTop; }
    void setOnTop(bool onTop);
    // Hands `picture` (the window's size) to the X server. Its top `rows`,
    // which many windows share (a note's header), travel once under
    // `sharedKey` and are copied within the server after. Below row `used`
    // (when given) it holds only the colour of its last pixel.
    void setPicture(const QImage& picture, const QString& sharedKey = QString(), int rows = 0, int used = -1);

    // The input the picture was given (a click, the keys typed after it)
    // goes on to `window`, the full note window made in its place, and so
    // does whatever comes to the picture from now on.
    void passInputTo(quint32 window);
    // Goes after `afterMs`, or once a button held on it is released.
    void retire(int afterMs);

    void show();
    void hide();
    void raise();
    bool isVisible() const { return m_mapped; }
    // Shown and drawn by the X server at least once since.
    bool isExposed() const { return m_exposed; }

Q_SIGNALS:
    void wakeRequested();
    void closeRequested();

private:
    friend class StickyLightEvents;
    // What the window manager reads when it takes the window on.
    void describe();
    // Returns true when the event was this window's.
    bool handle(const void* event);
    void wake();
    void passInputOn();

    QUuid m_id;
    quint32 m_window = 0;
    QRect m_geometry;
    bool m_onTop = false;
    bool m_mapped = false;
    bool m_exposed = false;
    bool m_woken = false;
    bool m_retiring = false;
    int m_buttonsDown = 0;
    // Input not yet passed on, as the server sent it, and where it goes.
    std::vector<std::array<char, 32>> m_input;
    quint32 m_target = 0;
    // Inside a window manager's frame: its own configure events then tell
    // the place within the frame, not on the screen.
    bool m_framed = false;
};
