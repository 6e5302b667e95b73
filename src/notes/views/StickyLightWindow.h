#pragma once

#include <QImage>
#include <QUuid>
#include <QWindow>

// A note window as it comes up at start on an X server: a bare native
// window whose picture of the note is kept by the X server itself (as the
// window's background), so it costs the program almost nothing however many
// notes are out and is never repainted by it. The first time the pointer
// comes over it, it asks to be replaced by the full note window
// (wakeRequested); a close request from the window system is passed on
// (closeRequested), except while the application quits.
class StickyLightWindow : public QWindow {
    Q_OBJECT
public:
    // Whether light windows can be shown here (an X server).
    static bool isAvailable();

    StickyLightWindow(const QUuid& id, const QRect& geometry, bool onTop);

    QUuid noteID() const { return m_id; }
    bool isOnTop() const { return flags().testFlag(Qt::WindowStaysOnTopHint); }
    void setOnTop(bool onTop);
    // Hands `picture` (the window's size) to the X server and shows it.
    void setPicture(const QImage& picture);

Q_SIGNALS:
    void wakeRequested();
    void closeRequested();
    // The native window was made anew (a change of level, a quit given up
    // after it had closed the window): it needs its picture again, and to be
    // shown if its note is.
    void remade();

protected:
    bool event(QEvent* event) override;

private:
    // Makes the native window, on every workspace.
    void makeNative();

    QUuid m_id;
    bool m_woken = false;
    quint8 m_depth = 24;
};
