#include "notes/views/StickyWindowDelegate.h"

#include "notes/StickyFrame.h"
#include "notes/StickyStore.h"
#include "notes/StickyWindowHost.h"
#include "notes/views/StickyWindow.h"
#include "notes/views/StickyWindows.h"

StickyWindowDelegate& StickyWindowDelegate::shared()
{
    static StickyWindowDelegate delegate;
    return delegate;
}

void StickyWindowDelegate::report(StickyWindow* window)
{
    if (!window || !window->noteID())
        return;
    StickyWindowHost* host = window->store().windowHost();
    const QRectF primary = (host ? host->screens() : StickyWindows::currentScreens()).primary;
    window->store().frameChanged(*window->noteID(), StickyFrame::fromScreen(QRectF(window->geometry()), primary));
}

bool StickyWindowDelegate::windowShouldClose(StickyWindow* window)
{
    if (window && window->noteID())
        window->store().hide(*window->noteID());
    return false;
}
