#include "notes/views/StickyWindowDelegate.h"

#include "notes/StickyFrame.h"
#include "notes/StickyStore.h"

StickyWindowDelegate& StickyWindowDelegate::shared()
{
    static StickyWindowDelegate delegate;
    return delegate;
}

void StickyWindowDelegate::report(StickyStore& store, const std::optional<QUuid>& noteID, const QRect& geometry,
                                  const QRectF& primary)
{
    if (noteID)
        store.frameChanged(*noteID, StickyFrame::fromScreen(QRectF(geometry), primary));
}

bool StickyWindowDelegate::windowShouldClose(StickyStore& store, const std::optional<QUuid>& noteID)
{
    if (noteID)
        store.hide(*noteID);
    return false;
}
