#include "wordproc/formats/FormatSupport.h"

#include "wordproc/WPText.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>
#include <cmath>

namespace FormatSupport {

namespace {

qreal finiteOr(qreal v, qreal fallback)
{
    return std::isfinite(v) ? v : fallback;
}

qreal boundedPt(qreal v)
{
    return std::clamp(finiteOr(v, 0.0), -kMaxLengthPt, kMaxLengthPt);
}

} // namespace

void setUnderlineStyle(QTextCharFormat& format, int style)
{
    if (style == WPText::StyleNone) {
        format.clearProperty(WPText::UnderlineStyle);
        format.setFontUnderline(false);
        return;
    }
    format.setProperty(WPText::UnderlineStyle, style);
    format.setFontUnderline(true);
}

void setStrikeStyle(QTextCharFormat& format, int style)
{
    if (style == WPText::StyleNone) {
        format.clearProperty(WPText::StrikeStyle);
        format.setFontStrikeOut(false);
        return;
    }
    format.setProperty(WPText::StrikeStyle, style);
    format.setFontStrikeOut(true);
}

void adoptQtLineStyles(QTextCharFormat& format)
{
    if (!format.hasProperty(WPText::UnderlineStyle) && format.fontUnderline())
        setUnderlineStyle(format, WPText::StyleSingle);
    if (!format.hasProperty(WPText::StrikeStyle) && format.fontStrikeOut())
        setStrikeStyle(format, WPText::StyleSingle);
}

QString fontFamily(const QTextCharFormat& format)
{
    const QStringList families = format.fontFamilies().toStringList();
    return families.value(0);
}

void setFontFamily(QTextCharFormat& format, const QString& family)
{
    if (family.isEmpty())
        format.clearProperty(QTextFormat::FontFamilies);
    else
        format.setFontFamilies({family});
}

qreal headIndent(const QTextBlockFormat& format)
{
    return WPText::toPoints(format.leftMargin());
}

qreal firstLineHeadIndent(const QTextBlockFormat& format)
{
    return WPText::toPoints(format.leftMargin() + format.textIndent());
}

qreal tailIndent(const QTextBlockFormat& format)
{
    return WPText::toPoints(format.rightMargin());
}

void setIndents(QTextBlockFormat& format, qreal head, qreal firstLine, qreal tail)
{
    head = boundedPt(head);
    firstLine = boundedPt(firstLine);
    tail = boundedPt(tail);
    if (head != 0)
        format.setLeftMargin(WPText::toPixels(head));
    else
        format.clearProperty(QTextFormat::BlockLeftMargin);
    if (firstLine != head)
        format.setTextIndent(WPText::toPixels(firstLine - head));
    else
        format.clearProperty(QTextFormat::TextIndent);
    if (tail != 0)
        format.setRightMargin(WPText::toPixels(tail));
    else
        format.clearProperty(QTextFormat::BlockRightMargin);
}

qreal lineMultiple(const QTextBlockFormat& format)
{
    if (format.lineHeightType() != QTextBlockFormat::ProportionalHeight)
        return 0;
    return format.lineHeight() / 100.0;
}

void setLineMultiple(QTextBlockFormat& format, qreal multiple)
{
    multiple = finiteOr(multiple, 0);
    if (multiple <= 0 || multiple > 100) {
        format.clearProperty(QTextFormat::LineHeight);
        format.clearProperty(QTextFormat::LineHeightType);
        return;
    }
    format.setLineHeight(multiple * 100.0, QTextBlockFormat::ProportionalHeight);
}

qreal spaceBefore(const QTextBlockFormat& format)
{
    return WPText::toPoints(format.topMargin());
}

qreal spaceAfter(const QTextBlockFormat& format)
{
    return WPText::toPoints(format.bottomMargin());
}

void setSpacing(QTextBlockFormat& format, qreal before, qreal after)
{
    before = std::clamp(finiteOr(before, 0), 0.0, kMaxLengthPt);
    after = std::clamp(finiteOr(after, 0), 0.0, kMaxLengthPt);
    if (before > 0)
        format.setTopMargin(WPText::toPixels(before));
    else
        format.clearProperty(QTextFormat::BlockTopMargin);
    if (after > 0)
        format.setBottomMargin(WPText::toPixels(after));
    else
        format.clearProperty(QTextFormat::BlockBottomMargin);
}

QList<TabStop> tabStops(const QTextBlockFormat& format)
{
    QList<TabStop> out;
    for (const QTextOption::Tab& tab : format.tabPositions())
        out.append({WPText::toPoints(tab.position), int(tab.type)});
    return out;
}

void setTabStops(QTextBlockFormat& format, const QList<TabStop>& tabs)
{
    QList<QTextOption::Tab> qt;
    for (const TabStop& t : tabs) {
        const qreal pos = std::clamp(finiteOr(t.position, 0), 0.0, kMaxLengthPt);
        const int type = std::clamp(t.type, 0, int(QTextOption::DelimiterTab));
        qt.append(QTextOption::Tab(WPText::toPixels(pos), QTextOption::TabType(type)));
    }
    if (qt.isEmpty())
        format.clearProperty(QTextFormat::TabPositions);
    else
        format.setTabPositions(qt);
}

int listKind(const QTextBlockFormat& format)
{
    const int kind = format.intProperty(WPText::ListKind);
    return kind == WPText::ListBullet || kind == WPText::ListNumber ? kind : WPText::ListNone;
}

int markerLength(const QString& text)
{
    if (!text.startsWith(QLatin1Char('\t')))
        return 0;
    const int span = std::min<int>(int(text.size()) - 1, 12);
    for (int i = 1; i <= span; ++i) {
        if (text.at(i) == QLatin1Char('\t'))
            return i + 1;
    }
    return 0;
}

QString markerFor(int kind, int number)
{
    if (kind == WPText::ListBullet)
        return QStringLiteral("\t") + QChar(WPText::kBullet) + QStringLiteral("\t");
    return QStringLiteral("\t%1.\t").arg(number);
}

// ---- pictures -----------------------------------------------------------------

QString imageFormatOf(const QByteArray& data)
{
    if (data.startsWith("\x89PNG\r\n\x1a\n"))
        return QStringLiteral("png");
    if (data.startsWith("\xff\xd8\xff"))
        return QStringLiteral("jpeg");
    if (data.startsWith("GIF87a") || data.startsWith("GIF89a"))
        return QStringLiteral("gif");
    if (data.startsWith("BM"))
        return QStringLiteral("bmp");
    if (data.startsWith("II*\0") || data.startsWith("MM\0*"))
        return QStringLiteral("tiff");
    return {};
}

QString Picture::format() const
{
    return imageFormatOf(data);
}

QSize imagePixelSize(const QByteArray& data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return reader.size();
}

Picture pictureOf(const QTextDocument& document, const QTextImageFormat& format)
{
    Picture p;
    p.data = format.property(WPText::PictureData).toByteArray();
    p.fileName = format.stringProperty(WPText::PictureFileName);
    p.sizePt = QSizeF(format.doubleProperty(WPText::PictureWidthPt),
                      format.doubleProperty(WPText::PictureHeightPt));
    if (p.data.isEmpty()) {
        const QVariant res = document.resource(QTextDocument::ImageResource, QUrl(format.name()));
        const QImage image = res.value<QImage>();
        if (!image.isNull()) {
            QBuffer buffer(&p.data);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            if (p.sizePt.isEmpty())
                p.sizePt = QSizeF(image.size());
        }
        if (p.fileName.isEmpty() || !p.fileName.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
            p.fileName = QStringLiteral("image.png");
    }
    if (p.sizePt.width() <= 0 || p.sizePt.height() <= 0) {
        if (format.width() > 0 && format.height() > 0)
            p.sizePt = QSizeF(WPText::toPoints(format.width()), WPText::toPoints(format.height()));
    }
    if (p.fileName.isEmpty()) {
        const QString ext = p.format();
        p.fileName = QStringLiteral("image.") + (ext.isEmpty() ? QStringLiteral("bin") : ext);
    }
    return p;
}

void insertPicture(QTextCursor& cursor, Picture picture, const QTextCharFormat& base)
{
    QTextDocument* document = cursor.document();
    if (picture.data.size() > kMaxPictureBytes)
        picture.data.clear();
    QImage image;
    const QSize pixels = imagePixelSize(picture.data);
    if (pixels.isValid() && pixels.width() <= kMaxPictureSide && pixels.height() <= kMaxPictureSide
        && qint64(pixels.width()) * pixels.height() <= kMaxPicturePixels) {
        image.loadFromData(picture.data);
    }
    QSizeF size = picture.sizePt;
    if (!std::isfinite(size.width()) || !std::isfinite(size.height()) || size.width() <= 0
        || size.height() <= 0) {
        size = QSizeF(72, 72);
        if (!image.isNull()) {
            const qreal dpm = image.dotsPerMeterX();
            const qreal dpi = dpm > 100 ? dpm * 0.0254 : 72.0;
            size = QSizeF(image.width() * 72.0 / dpi, image.height() * 72.0 / dpi);
        }
    }
    size = QSizeF(std::clamp(size.width(), 1.0, kMaxLengthPt), std::clamp(size.height(), 1.0, kMaxLengthPt));

    const int serial = document->property("wpPictureSerial").toInt() + 1;
    document->setProperty("wpPictureSerial", serial);
    const QString name = QStringLiteral("wpimage:%1").arg(serial);
    if (!image.isNull())
        document->addResource(QTextDocument::ImageResource, QUrl(name), image);

    QTextImageFormat f;
    f.merge(base);
    f.setObjectType(QTextFormat::ImageObject);
    f.setName(name);
    f.setWidth(WPText::toPixels(size.width()));
    f.setHeight(WPText::toPixels(size.height()));
    f.setProperty(WPText::PictureData, picture.data);
    if (picture.fileName.isEmpty()) {
        const QString ext = picture.format();
        picture.fileName = QStringLiteral("image%1.%2").arg(serial).arg(ext.isEmpty() ? QStringLiteral("bin") : ext);
    }
    f.setProperty(WPText::PictureFileName, picture.fileName);
    f.setProperty(WPText::PictureWidthPt, size.width());
    f.setProperty(WPText::PictureHeightPt, size.height());
    cursor.insertText(QString(QChar::ObjectReplacementCharacter), f);
}

// ---- building -----------------------------------------------------------------

Builder::Builder(QTextDocument* document)
    : m_cursor(document)
{
}

void Builder::text(const QString& text, const QTextCharFormat& format)
{
    QString clean;
    clean.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\n' || u == QChar::ParagraphSeparator || u == 0x0B)
            clean.append(QChar::LineSeparator);
        else if (u == '\t' || u >= 0x20)
            clean.append(u == QChar::ObjectReplacementCharacter ? QChar() : c);
    }
    clean.remove(QChar());
    if (clean.isEmpty())
        return;
    if (!m_runs.isEmpty() && !m_runs.last().picture && m_runs.last().format == format) {
        m_runs.last().text += clean;
        return;
    }
    m_runs.append({clean, format, std::nullopt});
}

void Builder::picture(const Picture& picture, const QTextCharFormat& format)
{
    m_runs.append({QString(), format, picture});
}

void Builder::endParagraph(const QTextBlockFormat& format, const QTextCharFormat& charFormat)
{
    Para para{format, charFormat, m_runs};
    m_runs.clear();
    if (m_inCell) {
        m_cell.paras.append(para);
        return;
    }
    if (inTable())
        endTable();
    writePara(m_cursor, para, m_fresh);
    m_fresh = false;
}

void Builder::writePara(QTextCursor& cursor, const Para& para, bool fresh)
{
    if (fresh) {
        cursor.setBlockFormat(para.format);
        // A table cell keeps its spans and background in its first block's
        // character format: add to it rather than replace it.
        if (cursor.currentTable())
            cursor.mergeBlockCharFormat(para.charFormat);
        else
            cursor.setBlockCharFormat(para.charFormat);
    } else {
        cursor.insertBlock(para.format, para.charFormat);
    }
    for (const Run& run : para.runs) {
        if (run.picture)
            insertPicture(cursor, *run.picture, run.format);
        else
            cursor.insertText(run.text, run.format);
    }
}

void Builder::beginCell()
{
    if (m_inCell)
        return;
    m_inCell = true;
    m_cell = Cell();
}

void Builder::setCellSpan(int rows, int columns)
{
    if (!m_inCell)
        beginCell();
    m_cell.rows = std::clamp(rows, 1, 10000);
    m_cell.columns = std::clamp(columns, 1, kMaxColumns);
}

void Builder::setCellMerge(int merge)
{
    if (!m_inCell)
        beginCell();
    m_cell.merge = merge;
}

void Builder::setCellBackground(const QColor& color)
{
    if (!m_inCell)
        beginCell();
    m_cell.background = color;
}

void Builder::endCell()
{
    if (!m_inCell)
        beginCell();
    if (!m_runs.isEmpty() || m_cell.paras.isEmpty())
        endParagraph(QTextBlockFormat());
    m_row.append(m_cell);
    m_cell = Cell();
    m_inCell = false;
}

void Builder::endRow()
{
    if (m_inCell)
        endCell();
    if (m_row.isEmpty())
        return;
    // Word's own limit: cells beyond it join the last one, so that a row of
    // thousands of cells cannot make every row of the table that wide.
    while (m_row.size() > kMaxColumns)
        m_row[kMaxColumns - 1].paras += m_row.takeAt(kMaxColumns).paras;
    int width = 0;
    for (const Cell& c : std::as_const(m_row))
        width += c.columns;
    m_columns = std::clamp(width, m_columns, kMaxColumns);
    m_rows.append(m_row);
    m_row.clear();
    // A table of absurd size goes on as a table of its own.
    if (qint64(m_rows.size()) * m_columns >= kMaxTableCells)
        writeTable();
}

void Builder::writeTable()
{
    if (m_rows.isEmpty())
        return;
    // Grid positions: each cell at the next position of its row that no
    // cell above spans into.
    struct Placed {
        int row = 0;
        int column = 0;
        int rows = 1;
        int columns = 1;
        const Cell* cell = nullptr;
        QList<const Cell*> joined; // continuation cells merged into this one
    };
    QList<Placed> placed;
    QHash<qint64, qsizetype> at; // row * kMaxColumns + column -> index into placed (origins only)
    QHash<qint64, bool> taken;
    int columns = 1;
    const int rowCount = int(m_rows.size());
    for (int r = 0; r < rowCount; ++r) {
        int c = 0;
        for (const Cell& cell : std::as_const(m_rows[r])) {
            while (c < kMaxColumns && taken.value(qint64(r) * kMaxColumns + c))
                ++c;
            if (c >= kMaxColumns)
                break;
            const int width = std::min(cell.columns, kMaxColumns - c);
            const int height = std::min(cell.rows, rowCount - r);
            // A continuation joins the cell it continues.
            qsizetype origin = -1;
            if ((cell.merge & ContinuesLeft) && c > 0)
                origin = at.value(qint64(r) * kMaxColumns + c - 1, -1);
            if (origin < 0 && (cell.merge & ContinuesUp) && r > 0)
                origin = at.value(qint64(r - 1) * kMaxColumns + c, -1);
            if (origin >= 0) {
                Placed& o = placed[origin];
                if (cell.merge & ContinuesLeft && o.row == r)
                    o.columns = std::max(o.columns, c + width - o.column);
                else
                    o.rows = std::max(o.rows, r + 1 - o.row);
                o.joined.append(&cell);
            } else {
                origin = placed.size();
                placed.append({r, c, height, width, &cell, {}});
            }
            for (int y = r; y < r + height; ++y)
                for (int x = c; x < c + width; ++x) {
                    taken.insert(qint64(y) * kMaxColumns + x, true);
                    at.insert(qint64(y) * kMaxColumns + x, origin);
                }
            columns = std::max(columns, c + width);
            c += width;
        }
    }
    // The whole table at once: Qt adds rows one by one in time proportional
    // to the table's size.
    QTextTableFormat tf;
    tf.setBorder(1);
    tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    tf.setCellPadding(4);
    tf.setCellSpacing(0);
    // Qt puts a table after the block it is inserted at the end of.
    QTextTable* table = m_cursor.insertTable(rowCount, columns, tf);
    for (const Placed& p : std::as_const(placed)) {
        const int rows = std::min(p.rows, rowCount - p.row);
        const int cols = std::min(p.columns, columns - p.column);
        bool free = true;
        for (int y = p.row; y < p.row + rows && free; ++y)
            for (int x = p.column; x < p.column + cols && free; ++x) {
                const QTextTableCell cell = table->cellAt(y, x);
                free = cell.rowSpan() == 1 && cell.columnSpan() == 1;
            }
        if (free && (rows > 1 || cols > 1))
            table->mergeCells(p.row, p.column, rows, cols);
    }
    for (const Placed& p : std::as_const(placed)) {
        QTextTableCell cell = table->cellAt(p.row, p.column);
        if (cell.row() != p.row || cell.column() != p.column)
            continue;
        if (p.cell->background.isValid()) {
            QTextTableCellFormat cf = cell.format().toTableCellFormat();
            cf.setBackground(p.cell->background);
            cell.setFormat(cf);
        }
        QList<Para> paras = p.cell->paras;
        for (const Cell* joined : p.joined) {
            bool empty = true;
            for (const Para& para : joined->paras)
                empty = empty && para.runs.isEmpty();
            if (!empty)
                paras += joined->paras;
        }
        QTextCursor cursor = cell.firstCursorPosition();
        bool fresh = true;
        for (const Para& para : std::as_const(paras)) {
            writePara(cursor, para, fresh);
            fresh = false;
        }
    }
    m_rows.clear();
    m_columns = 0;
    m_cursor = table->lastCursorPosition();
    m_cursor.movePosition(QTextCursor::NextBlock);
    m_fresh = true;
}

void Builder::endTable()
{
    if (m_inCell || !m_row.isEmpty()) {
        // A paragraph of the main text cut a row short: keep its cells.
        QList<Run> pending = m_runs;
        m_runs.clear();
        endRow();
        m_runs = pending;
    }
    writeTable();
}

void Builder::finish(const QTextBlockFormat& format)
{
    if (m_inCell && !m_runs.isEmpty())
        endParagraph(format);
    if (inTable())
        endTable();
    if (!m_runs.isEmpty())
        endParagraph(format);
}

void appendNotes(QTextDocument* document, const QList<std::shared_ptr<QTextDocument>>& notes)
{
    if (notes.isEmpty())
        return;
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    const QString line(20, QChar(0x2500));
    if (cursor.block().length() == 1 && !cursor.currentTable() && document->characterCount() > 1) {
        cursor.insertText(line);
    } else {
        cursor.insertBlock();
        cursor.insertText(line);
    }
    for (const auto& note : notes) {
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        cursor.insertFragment(QTextDocumentFragment(note.get()));
    }
}

// ---- walking ------------------------------------------------------------------

namespace {

void collect(QTextFrame* frame, QList<Item>& out, bool flattenTables)
{
    for (QTextFrame::iterator it = frame->begin(); !it.atEnd(); ++it) {
        if (QTextFrame* child = it.currentFrame()) {
            QTextTable* table = qobject_cast<QTextTable*>(child);
            if (table && !flattenTables)
                out.append(table);
            else
                collect(child, out, flattenTables);
        } else {
            out.append(it.currentBlock());
        }
    }
}

} // namespace

QList<Item> topLevelItems(const QTextDocument& document)
{
    QList<Item> out;
    collect(document.rootFrame(), out, false);
    return out;
}

QList<QTextBlock> cellBlocks(const QTextTable* table, int row, int column)
{
    QList<QTextBlock> out;
    const QTextTableCell cell = table->cellAt(row, column);
    if (!cell.isValid() || cell.row() != row || cell.column() != column)
        return out;
    for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
        if (QTextFrame* child = it.currentFrame()) {
            QList<Item> nested;
            collect(child, nested, true);
            for (const Item& item : nested)
                out.append(std::get<QTextBlock>(item));
        } else {
            out.append(it.currentBlock());
        }
    }
    return out;
}

QList<Span> spans(const QTextBlock& block)
{
    QList<Span> out;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        const QTextCharFormat format = fragment.charFormat();
        const QString text = fragment.text();
        if (format.isImageFormat()) {
            for (QChar c : text) {
                if (c == QChar::ObjectReplacementCharacter)
                    out.append({QString(c), format, true});
            }
            continue;
        }
        QString clean = text;
        clean.remove(QChar::ObjectReplacementCharacter);
        if (!clean.isEmpty())
            out.append({clean, format, false});
    }
    return out;
}

QList<Span> takeLeading(QList<Span>& list, int count)
{
    QList<Span> taken;
    while (count > 0 && !list.isEmpty() && !list.first().isPicture) {
        Span& first = list.first();
        const qsizetype n = std::min<qsizetype>(count, first.text.size());
        taken.append({first.text.left(n), first.format, false});
        first.text.remove(0, n);
        count -= int(n);
        if (first.text.isEmpty())
            list.removeFirst();
    }
    return taken;
}

// ---- XML ----------------------------------------------------------------------

QString xmlSafe(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (c.isHighSurrogate()) {
            if (i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                out.append(c);
                out.append(text.at(++i));
            }
            continue;
        }
        if (c.isLowSurrogate())
            continue;
        if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE || u == 0xFFFF)
            continue;
        out.append(c);
    }
    return out;
}

std::optional<qreal> parseLength(const QString& text)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*([-+]?[0-9]*\\.?[0-9]+(?:[eE][-+]?[0-9]+)?)\\s*(pt|in|cm|mm|pc|px|)\\s*$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double v = m.captured(1).toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    const QString unit = m.captured(2);
    double pt = v;
    if (unit == QLatin1String("in"))
        pt = v * 72;
    else if (unit == QLatin1String("cm"))
        pt = v * 72 / 2.54;
    else if (unit == QLatin1String("mm"))
        pt = v * 72 / 25.4;
    else if (unit == QLatin1String("pc"))
        pt = v * 12;
    else if (unit == QLatin1String("px"))
        pt = v * 0.75;
    if (!std::isfinite(pt))
        return std::nullopt;
    return pt;
}

} // namespace FormatSupport
