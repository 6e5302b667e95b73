#include "notes/views/StickyPictureUpload.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>

namespace StickyPictureUpload {

namespace {

// Room for the pictures of a few dozen notes before the server is asked to
// catch up.
constexpr size_t kSegmentBytes = 4 * 1024 * 1024;

struct Segment {
    xcb_connection_t* connection = nullptr;
    xcb_shm_seg_t seg = 0;
    void* memory = nullptr;
    size_t used = 0;
    // The server refused once: ordinary requests from then on.
    bool refused = false;
    bool releaseQueued = false;
};

Segment& segment()
{
    static Segment s;
    return s;
}

// Waits until the server has handled every request sent so far.
void sync(xcb_connection_t* c)
{
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

void release()
{
    Segment& s = segment();
    s.releaseQueued = false;
    if (!s.memory)
        return;
    // The server reads the segment when it handles a request: all of them
    // first, then it may go.
    sync(s.connection);
    xcb_shm_detach(s.connection, s.seg);
    xcb_flush(s.connection);
    shmdt(s.memory);
    s = Segment{nullptr, 0, nullptr, 0, s.refused, false};
}

bool attach(xcb_connection_t* c)
{
    Segment& s = segment();
    if (s.memory)
        return true;
    if (s.refused)
        return false;
    const xcb_query_extension_reply_t* shm = xcb_get_extension_data(c, &xcb_shm_id);
    const int id = shm && shm->present ? shmget(IPC_PRIVATE, kSegmentBytes, IPC_CREAT | 0600) : -1;
    if (id == -1) {
        s.refused = true;
        return false;
    }
    void* memory = shmat(id, nullptr, 0);
    const xcb_shm_seg_t seg = xcb_generate_id(c);
    xcb_generic_error_t* error =
        memory == reinterpret_cast<void*>(-1) ? nullptr : xcb_request_check(c, xcb_shm_attach_checked(c, seg, quint32(id), 1));
    // Gone from the system once both sides let go of it, whatever happens.
    shmctl(id, IPC_RMID, nullptr);
    if (memory == reinterpret_cast<void*>(-1) || error) {
        std::free(error);
        if (memory != reinterpret_cast<void*>(-1))
            shmdt(memory);
        // A server on another machine, say.
        s.refused = true;
        return false;
    }
    s.connection = c;
    s.seg = seg;
    s.memory = memory;
    s.used = 0;
    return true;
}

void putInRequests(xcb_connection_t* c, xcb_pixmap_t pixmap, xcb_gcontext_t gc, quint8 depth, const QImage& image,
                   int from, int to)
{
    // In bands well inside the smallest request size a server accepts.
    const int rows = qMax(1, 60000 / qMax(1, int(image.bytesPerLine())));
    for (int y = from; y < to; y += rows) {
        const int band = qMin(rows, to - y);
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, quint16(image.width()), quint16(band), 0, qint16(y), 0,
                      depth, quint32(image.bytesPerLine() * band), image.constScanLine(y));
    }
}

} // namespace

void putRows(xcb_connection_t* c, xcb_pixmap_t pixmap, xcb_gcontext_t gc, quint8 depth, const QImage& image, int from,
             int to)
{
    if (to <= from)
        return;
    const size_t bytes = size_t(image.bytesPerLine()) * size_t(to - from);
    const bool packed = image.bytesPerLine() == image.width() * 4;
    if (!packed || bytes > kSegmentBytes || !QCoreApplication::instance() || !attach(c)) {
        putInRequests(c, pixmap, gc, depth, image, from, to);
        return;
    }
    Segment& s = segment();
    if (s.used + bytes > kSegmentBytes) {
        // Full: the server catches up with what is there, then it is used
        // again from the start.
        sync(c);
        s.used = 0;
    }
    std::memcpy(static_cast<char*>(s.memory) + s.used, image.constScanLine(from), bytes);
    xcb_shm_put_image(c, pixmap, gc, quint16(image.width()), quint16(to - from), 0, 0, quint16(image.width()),
                      quint16(to - from), 0, qint16(from), depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, s.seg, quint32(s.used));
    // Each picture starts on a fresh cache line.
    s.used += (bytes + 63) & ~size_t(63);
    if (!s.releaseQueued) {
        s.releaseQueued = true;
        QTimer::singleShot(0, QCoreApplication::instance(), &release);
    }
}

} // namespace StickyPictureUpload
