#pragma once

#include <QSizeF>

// A document's page setup in points: paper size (a landscape page is simply
// wider than high) and four margins. A new document has a 612 × 792 page
// with 72-point margins.
struct WPPageSetup {
    QSizeF paperSize{612, 792};
    qreal topMargin = 72;
    qreal leftMargin = 72;
    qreal bottomMargin = 72;
    qreal rightMargin = 72;

    // The width and height left for text.
    qreal textWidth() const { return paperSize.width() - leftMargin - rightMargin; }
    qreal textHeight() const { return paperSize.height() - topMargin - bottomMargin; }

    bool operator==(const WPPageSetup&) const = default;
};
