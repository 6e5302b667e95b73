#pragma once

#include <QImage>
#include <xcb/xcb.h>

// Hands pictures to the X server. Where the server shares memory with the
// program (MIT-SHM on the same machine), the pictures of many windows in a
// row travel through one shared segment instead of through the socket; the
// segment goes once the program is back in its event loop. Elsewhere they
// travel in ordinary requests.
namespace StickyPictureUpload {

// Rows [from, to) of `image` (32 bits a pixel) into `pixmap`, starting at
// its row `from`.
void putRows(xcb_connection_t* c, xcb_pixmap_t pixmap, xcb_gcontext_t gc, quint8 depth, const QImage& image, int from,
             int to);

} // namespace StickyPictureUpload
