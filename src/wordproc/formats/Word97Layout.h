#pragma once

#include "wordproc/WPTextModel.h"
#include "wordproc/formats/Word97Props.h"

#include <QList>

// How the Word 97 reader turns paragraph properties and table rows into the
// text model. Internal to the reader.
namespace Word97::Layout {

// One table row as read: its cells' paragraphs and its cell layout.
struct RawRow {
    QList<QList<WPTextModel::Paragraph>> cells;
    Word97Props::Tap tap;
};

// `p` with the alignment, indents, spacing, line height and tabs of `pap`.
WPTextModel::Paragraph modelParagraph(const Word97Props::Pap& pap, WPTextModel::Paragraph p);

// The table of `rows`: columns from the distinct cell edges of all rows,
// merged cells from the cells' flags.
WPTextModel::Table makeTable(const QList<RawRow>& rows);

} // namespace Word97::Layout
