// Feeds arbitrary bytes to the sticky notes' reading: the note list as
// "stickies.json" holds it, and the frame text of a note, through to the
// rectangle a window would open at.
#include "core/Json.h"
#include "core/Store.h"
#include "notes/StickyFrame.h"
#include "notes/StickyNote.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void place(const QString& frame)
{
    StickyScreens screens;
    screens.primary = QRectF(0, 0, 1440, 900);
    screens.mainVisible = QRectF(0, 30, 1440, 870);
    screens.available = {screens.mainVisible, QRectF(1440, 0, 1920, 1080)};
    const QRectF r = StickyFrame::placement(frame, screens);
    // A window always opens somewhere reachable with a usable size.
    if (!std::isfinite(r.x()) || !std::isfinite(r.y()) || r.width() < 160 || r.height() < 120)
        std::abort();
    const QRectF parsed = StickyFrame::fromText(frame);
    if (StickyFrame::fromText(StickyFrame::toText(parsed)) != parsed)
        std::abort();
    (void)r.toRect();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    place(QString::fromUtf8(bytes));
    const std::optional<QJsonValue> v = Store::parse(bytes);
    if (!v)
        return 0;
    const std::optional<QList<StickyNote>> notes = Json::toList<StickyNote>(*v);
    if (!notes)
        return 0;
    for (const StickyNote& n : *notes) {
        place(n.frame);
        // What was read writes back to the same note.
        if (StickyNote::fromJson(n.toJson()) != n)
            std::abort();
    }
    return 0;
}
