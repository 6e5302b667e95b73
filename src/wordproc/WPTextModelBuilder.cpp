// Building a document from the text model: paragraphs, and tables with
// their grid, spans, shading, column widths and tables nested in cells.
#include "wordproc/WPTextModel.h"

#include <QAtomicInteger>
#include <QCryptographicHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace WPTextModel {

namespace {

constexpr QChar kPictureChar = QChar(0xFFFC);

QTextBlockFormat blockFormatOf(const ParagraphStyle& s)
{
    QTextBlockFormat f;
    f.setAlignment(s.alignment | (s.alignment == Qt::AlignLeft || s.alignment == Qt::AlignRight
                                      ? Qt::AlignAbsolute : Qt::Alignment()));
    if (s.headIndent != 0)
        f.setLeftMargin(WPText::toPixels(s.headIndent));
    if (s.firstLineHeadIndent != s.headIndent)
        f.setTextIndent(WPText::toPixels(s.firstLineHeadIndent - s.headIndent));
    if (s.tailIndent != 0)
        f.setRightMargin(WPText::toPixels(s.tailIndent));
    if (s.spaceBefore != 0)
        f.setTopMargin(WPText::toPixels(s.spaceBefore));
    if (s.spaceAfter != 0)
        f.setBottomMargin(WPText::toPixels(s.spaceAfter));
    if (s.lineHeightMultiple > 0 && s.lineHeightMultiple != 1)
        f.setLineHeight(s.lineHeightMultiple * 100.0, QTextBlockFormat::ProportionalHeight);
    if (!s.tabStops.isEmpty()) {
        QList<QTextOption::Tab> tabs;
        for (qsizetype i = 0; i < s.tabStops.size(); ++i) {
            const int kind = std::clamp(s.tabKinds.value(i, QTextOption::LeftTab), 0, int(QTextOption::DelimiterTab));
            tabs.append(QTextOption::Tab(WPText::toPixels(s.tabStops[i]), QTextOption::TabType(kind)));
        }
        f.setTabPositions(tabs);
    }
    if (s.listKind != WPText::ListNone)
        f.setProperty(WPText::ListKind, s.listKind);
    return f;
}

QTextCharFormat charFormatOf(const Run& r)
{
    QTextCharFormat f;
    if (!r.family.isEmpty())
        f.setFontFamilies(QStringList{r.family});
    if (r.pointSize > 0)
        f.setFontPointSize(r.pointSize);
    if (r.bold)
        f.setFontWeight(QFont::Bold);
    if (r.italic)
        f.setFontItalic(true);
    if (r.underline != 0) {
        f.setProperty(WPText::UnderlineStyle, r.underline);
        f.setFontUnderline(true);
    }
    if (r.strike != 0) {
        f.setProperty(WPText::StrikeStyle, r.strike);
        f.setFontStrikeOut(true);
    }
    if (r.baseline == 1)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (r.baseline == 2)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (r.foreground.isValid())
        f.setForeground(r.foreground);
    if (r.background.isValid())
        f.setBackground(r.background);
    if (r.link) {
        f.setAnchor(true);
        f.setAnchorHref(r.href);
    }
    return f;
}

QAtomicInteger<quint64> g_pictureSerial;

} // namespace

Builder::Builder(QTextDocument* doc)
    : m_doc(doc)
{
}

QTextImageFormat Builder::pictureFormat(QTextDocument* doc, const Picture& picture)
{
    const QImage image = picture.decoded();
    // Named by its bytes and a serial number, so that it never replaces
    // another picture's resource in the same document.
    const QByteArray digest = QCryptographicHash::hash(picture.data.isEmpty() ? image.text().toUtf8() : picture.data,
                                                       QCryptographicHash::Md5)
                                  .toHex()
                                  .left(12);
    const QString name = QStringLiteral("wpimage:%1-%2")
                             .arg(QString::fromLatin1(digest))
                             .arg(g_pictureSerial.fetchAndAddRelaxed(1) + 1);
    doc->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat f;
    f.setName(name);
    QSizeF size = picture.sizePt;
    if (!(size.width() >= 1 && size.height() >= 1))
        size = QSizeF(image.width(), image.height());
    if (size.width() > 0 && size.height() > 0) {
        f.setWidth(WPText::toPixels(size.width()));
        f.setHeight(WPText::toPixels(size.height()));
        f.setProperty(WPText::PictureWidthPt, size.width());
        f.setProperty(WPText::PictureHeightPt, size.height());
    }
    if (!picture.data.isEmpty())
        f.setProperty(WPText::PictureData, picture.data);
    if (!picture.fileName.isEmpty())
        f.setProperty(WPText::PictureFileName, picture.fileName);
    return f;
}

void Builder::fill(QTextCursor& cursor, const Paragraph& p, bool reuseBlock)
{
    const QTextBlockFormat bf = blockFormatOf(p.style);
    const QTextCharFormat first = p.runs.isEmpty() ? QTextCharFormat() : charFormatOf(p.runs.first());
    if (reuseBlock) {
        // The block's own character format is left alone: a table cell keeps
        // its format (spans, background) in the same place.
        cursor.setBlockFormat(bf);
    } else {
        cursor.insertBlock(bf, first);
    }
    for (const Run& r : p.runs) {
        QTextCharFormat cf = charFormatOf(r);
        if (r.picture) {
            cf.merge(pictureFormat(m_doc, *r.picture));
            cursor.insertImage(cf.toImageFormat());
            ++m_pictures;
            continue;
        }
        QString text = r.text;
        text.remove(kPictureChar);
        // Paragraph ends belong to the model's structure, not to a run.
        text.replace(QChar(0x2029), QChar(0x2028));
        text.replace(QChar('\n'), QChar(0x2028));
        text.replace(QChar('\r'), QChar(0x2028));
        if (!text.isEmpty())
            cursor.insertText(text, cf);
    }
}

void Builder::addParagraph(const Paragraph& p)
{
    QTextCursor cursor(m_doc);
    cursor.movePosition(QTextCursor::End);
    fill(cursor, p, m_lastBlockFree);
    m_lastBlockFree = false;
}

QList<QTextLength> columnShares(const QList<qreal>& widths, int columns)
{
    // Widths that are missing, not positive or absurdly large count as the
    // average of the others; none usable gives equal columns.
    QList<qreal> given;
    qreal sum = 0;
    for (int c = 0; c < columns; ++c) {
        const qreal w = c < widths.size() ? widths.at(c) : 0;
        const bool usable = std::isfinite(w) && w > 0 && w < 1e9;
        given.append(usable ? w : 0);
        sum += usable ? w : 0;
    }
    const auto known = std::count_if(given.cbegin(), given.cend(), [](qreal w) { return w > 0; });
    const qreal fill = known > 0 ? sum / qreal(known) : 1;
    for (qreal& w : given) {
        if (w <= 0) {
            w = fill;
            sum += fill;
        }
    }
    QList<QTextLength> shares;
    for (const qreal w : std::as_const(given))
        shares.append(QTextLength(QTextLength::PercentageLength, 100.0 * w / sum));
    return shares;
}

void Builder::fillCell(QTextCursor& cursor, const QList<Paragraph>& paragraphs, bool reuse)
{
    for (const Paragraph& p : paragraphs) {
        if (p.table && m_depth >= kMaxTableNesting) {
            // Too deep: the table's text joins this cell.
            for (const TableCell& c : p.table->cells) {
                fillCell(cursor, c.paragraphs, reuse);
                reuse = false;
            }
            continue;
        }
        if (p.table) {
            // Qt keeps a paragraph before a table: the cell's first, or the
            // one just written; the paragraph after it takes what follows.
            const Table& inner = *p.table;
            ++m_depth;
            insertTable(cursor, inner, [this, &inner](QTextCursor& c, qsizetype i, bool free) {
                fillCell(c, inner.cells.at(i).paragraphs, free);
            });
            --m_depth;
            reuse = true;
            continue;
        }
        fill(cursor, p, reuse);
        reuse = false;
    }
}

void Builder::addTable(const Table& t)
{
    addTable(t, [this, &t](QTextCursor& cursor, qsizetype i, bool reuse) {
        fillCell(cursor, t.cells.at(i).paragraphs, reuse);
    });
}

void Builder::addTable(const Table& t, const CellFiller& fillCell)
{
    QTextCursor cursor(m_doc);
    cursor.movePosition(QTextCursor::End);
    insertTable(cursor, t, fillCell);
    m_lastBlockFree = true;
}

void Builder::insertTable(QTextCursor& cursor, const Table& t, const CellFiller& fillCell)
{
    // Qt makes every cell up front: keep hostile dimensions to a table a
    // document can hold.
    constexpr int maxCells = 200000;
    const int columns = std::clamp(t.columns, 1, 1000);
    const int rows = std::clamp(t.rows, 1, maxCells / columns);
    cursor.movePosition(QTextCursor::EndOfBlock);
    QTextTableFormat tf;
    tf.setBorder(1);
    tf.setBorderBrush(QColor(0x73, 0x73, 0x73));
    tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    tf.setBorderCollapse(true);
    tf.setCellSpacing(0);
    tf.setCellPadding(WPText::toPixels(5.4));
    tf.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    tf.setColumnWidthConstraints(columnShares(t.columnWidths, columns));
    QTextTable* table = cursor.insertTable(rows, columns, tf);
    for (const TableCell& c : t.cells) {
        if (c.row < 0 || c.column < 0 || c.row >= rows || c.column >= columns)
            continue;
        const int rs = std::clamp(c.rowSpan, 1, rows - c.row);
        const int cs = std::clamp(c.columnSpan, 1, columns - c.column);
        if (rs > 1 || cs > 1)
            table->mergeCells(c.row, c.column, rs, cs);
    }
    for (qsizetype i = 0; i < t.cells.size(); ++i) {
        const TableCell& c = t.cells.at(i);
        if (c.row < 0 || c.column < 0 || c.row >= rows || c.column >= columns)
            continue;
        QTextTableCell cell = table->cellAt(c.row, c.column);
        if (!cell.isValid() || cell.row() != c.row || cell.column() != c.column)
            continue; // lies under another cell's merge
        if (c.background.isValid()) {
            QTextTableCellFormat cf = cell.format().toTableCellFormat();
            cf.setBackground(c.background);
            cell.setFormat(cf);
        }
        // A second cell given at the same place adds its paragraphs.
        QTextCursor cc = cell.lastCursorPosition();
        fillCell(cc, i, cell.firstPosition() == cell.lastPosition());
    }
    cursor = table->lastCursorPosition();
    cursor.movePosition(QTextCursor::NextBlock);
}

} // namespace WPTextModel
