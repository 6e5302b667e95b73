#include "wordproc/WPTextModel.h"

#include <QAtomicInteger>
#include <QCryptographicHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QRegularExpression>
#include <QTextTable>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace WPTextModel {

namespace {

constexpr QChar kPictureChar = QChar(0xFFFC);

// A fully transparent brush ("transparent" in pasted web text) is no colour:
// written as one it would paint the text's background solid.
QColor brushColor(const QBrush& brush)
{
    return brush.style() == Qt::NoBrush || brush.color().alpha() == 0 ? QColor() : brush.color();
}

QString familyOf(const QTextCharFormat& f)
{
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return QString();
}

Qt::Alignment alignmentOf(Qt::Alignment a)
{
    const Qt::Alignment h = a & Qt::AlignHorizontal_Mask;
    if (h & Qt::AlignJustify)
        return Qt::AlignJustify;
    if (h & Qt::AlignHCenter)
        return Qt::AlignHCenter;
    if (h & (Qt::AlignRight | Qt::AlignTrailing))
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

ParagraphStyle styleOf(const QTextBlockFormat& f)
{
    ParagraphStyle s;
    s.alignment = alignmentOf(f.alignment());
    s.headIndent = WPText::toPoints(f.leftMargin());
    s.firstLineHeadIndent = s.headIndent + WPText::toPoints(f.textIndent());
    s.tailIndent = WPText::toPoints(f.rightMargin());
    s.spaceBefore = WPText::toPoints(f.topMargin());
    s.spaceAfter = WPText::toPoints(f.bottomMargin());
    if (f.lineHeightType() == QTextBlockFormat::ProportionalHeight && f.lineHeight() > 0)
        s.lineHeightMultiple = f.lineHeight() / 100.0;
    bool kinds = false;
    for (const QTextOption::Tab& tab : f.tabPositions()) {
        s.tabStops.append(WPText::toPoints(tab.position));
        s.tabKinds.append(int(tab.type));
        kinds = kinds || tab.type != QTextOption::LeftTab;
    }
    if (!kinds)
        s.tabKinds.clear();
    s.listKind = f.intProperty(WPText::ListKind);
    return s;
}

Picture pictureOf(const QTextDocument& doc, const QTextImageFormat& f)
{
    Picture p;
    p.data = f.property(WPText::PictureData).toByteArray();
    p.fileName = f.stringProperty(WPText::PictureFileName);
    const QVariant res = doc.resource(QTextDocument::ImageResource, QUrl(f.name()));
    if (res.canConvert<QImage>())
        p.image = res.value<QImage>();
    if (p.image.isNull())
        p.image = p.decoded();
    qreal w = f.doubleProperty(WPText::PictureWidthPt);
    qreal h = f.doubleProperty(WPText::PictureHeightPt);
    if (!(w > 0 && h > 0) && f.width() > 0 && f.height() > 0) {
        w = WPText::toPoints(f.width());
        h = WPText::toPoints(f.height());
    }
    if (w > 0 && h > 0 && std::isfinite(w) && std::isfinite(h))
        p.sizePt = QSizeF(w, h);
    return p;
}

Run runOf(const QTextDocument& doc, const QTextCharFormat& f, const QString& text)
{
    Run r;
    r.text = text;
    r.family = familyOf(f);
    r.defaultFamily = r.family.isEmpty();
    if (r.family.isEmpty())
        r.family = doc.defaultFont().family();
    r.defaultSize = !f.hasProperty(QTextFormat::FontPointSize);
    r.pointSize = f.fontPointSize() > 0 ? f.fontPointSize() : doc.defaultFont().pointSizeF();
    if (!(r.pointSize > 0))
        r.pointSize = 0;
    r.bold = f.fontWeight() > QFont::Medium;
    r.italic = f.fontItalic();
    r.underline = f.hasProperty(WPText::UnderlineStyle) ? f.intProperty(WPText::UnderlineStyle)
                                                        : (f.fontUnderline() ? int(WPText::StyleSingle) : 0);
    r.strike = f.hasProperty(WPText::StrikeStyle) ? f.intProperty(WPText::StrikeStyle)
                                                  : (f.fontStrikeOut() ? int(WPText::StyleSingle) : 0);
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        r.baseline = 1;
    else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        r.baseline = 2;
    r.foreground = brushColor(f.foreground());
    r.background = brushColor(f.background());
    r.link = f.isAnchor() && !f.anchorHref().isEmpty();
    r.href = r.link ? f.anchorHref() : QString();
    if (f.isImageFormat()) {
        r.picture = pictureOf(doc, f.toImageFormat());
        r.resource = f.toImageFormat().name();
    }
    return r;
}

Paragraph paragraphOf(const QTextDocument& doc, const QTextBlock& block)
{
    Paragraph p;
    p.position = block.position();
    p.style = styleOf(block.blockFormat());
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        if (!frag.isValid())
            continue;
        const QTextCharFormat f = frag.charFormat();
        const QString text = frag.text();
        if (f.isImageFormat()) {
            // Qt joins neighbouring pictures of one format into a fragment:
            // one run per picture.
            for (QChar c : text)
                p.runs.append(runOf(doc, f, QString(c)));
            continue;
        }
        p.runs.append(runOf(doc, f, text));
    }
    return p;
}

void walkFrame(const QTextDocument& doc, QTextFrame* frame, const std::optional<CellRef>& outer,
               QList<Paragraph>& out, int depth);

void walkTable(const QTextDocument& doc, QTextTable* table, const std::optional<CellRef>& outer,
               QList<Paragraph>& out, int depth)
{
    // Column constraints all of one kind, each with a length, are the
    // columns' shares of the width.
    QList<qreal> widths;
    const QList<QTextLength> constraints = table->format().columnWidthConstraints();
    if (constraints.size() == table->columns()) {
        for (const QTextLength& l : constraints) {
            if (l.type() != constraints.first().type() || l.type() == QTextLength::VariableLength
                || !(l.rawValue() > 0)) {
                widths.clear();
                break;
            }
            widths.append(l.rawValue());
        }
    }
    for (int r = 0; r < table->rows(); ++r) {
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (!cell.isValid() || cell.row() != r || cell.column() != c)
                continue; // covered by a merged cell
            std::optional<CellRef> ref = outer;
            if (!ref) {
                CellRef cr;
                cr.columnWidths = widths;
                cr.table = quintptr(table);
                cr.tableRows = table->rows();
                cr.tableColumns = table->columns();
                cr.row = r;
                cr.column = c;
                cr.rowSpan = std::max(1, cell.rowSpan());
                cr.columnSpan = std::max(1, cell.columnSpan());
                cr.background = brushColor(cell.format().background());
                ref = cr;
            }
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                if (QTextFrame* child = it.currentFrame())
                    walkFrame(doc, child, ref, out, depth + 1);
                else if (it.currentBlock().isValid()) {
                    Paragraph p = paragraphOf(doc, it.currentBlock());
                    p.cell = ref;
                    out.append(std::move(p));
                }
            }
        }
    }
}

void walkFrame(const QTextDocument& doc, QTextFrame* frame, const std::optional<CellRef>& outer,
               QList<Paragraph>& out, int depth)
{
    if (auto* table = qobject_cast<QTextTable*>(frame)) {
        walkTable(doc, table, outer, out, depth);
        return;
    }
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (QTextFrame* child = it.currentFrame())
            walkFrame(doc, child, outer, out, depth + 1);
        else if (it.currentBlock().isValid()) {
            Paragraph p = paragraphOf(doc, it.currentBlock());
            p.cell = outer;
            out.append(std::move(p));
        }
    }
}

} // namespace

QImage Picture::decoded() const
{
    if (!image.isNull())
        return image;
    return data.isEmpty() ? QImage() : QImage::fromData(data);
}

namespace {

// Qt's own list comparison hands memcmp a null pointer for an empty list
// that never held anything: compare element by element instead.
template <typename T>
bool sameList(const QList<T>& a, const QList<T>& b)
{
    return a.size() == b.size() && std::equal(a.cbegin(), a.cend(), b.cbegin());
}

} // namespace

bool ParagraphStyle::operator==(const ParagraphStyle& o) const
{
    return alignment == o.alignment && headIndent == o.headIndent && firstLineHeadIndent == o.firstLineHeadIndent
        && tailIndent == o.tailIndent && spaceBefore == o.spaceBefore && spaceAfter == o.spaceAfter
        && lineHeightMultiple == o.lineHeightMultiple && sameList(tabStops, o.tabStops) && sameList(tabKinds, o.tabKinds)
        && listKind == o.listKind;
}

bool Run::sameFormat(const Run& o) const
{
    return family == o.family && pointSize == o.pointSize && bold == o.bold && italic == o.italic
        && underline == o.underline && strike == o.strike && foreground == o.foreground
        && background == o.background && baseline == o.baseline && link == o.link && href == o.href
        && picture.has_value() == o.picture.has_value();
}

QString Paragraph::text() const
{
    QString s;
    for (const Run& r : runs)
        s += r.text;
    return s;
}

bool Paragraph::hasPicture() const
{
    for (const Run& r : runs)
        if (r.picture)
            return true;
    return false;
}

QList<Paragraph> paragraphs(const QTextDocument& doc)
{
    QList<Paragraph> out;
    walkFrame(doc, doc.rootFrame(), std::nullopt, out, 0);
    return out;
}

Paragraph noteSeparator()
{
    Paragraph p;
    Run line;
    line.text = QString(20, QChar(0x2500));
    p.runs.append(line);
    return p;
}

QString noteLabel(int n, bool endnote)
{
    if (!endnote)
        return QString::number(n);
    static const std::pair<int, const char*> digits[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"},
                                                           {100, "c"},  {90, "xc"},  {50, "l"},  {40, "xl"},
                                                           {10, "x"},   {9, "ix"},   {5, "v"},   {4, "iv"},
                                                           {1, "i"}};
    QString out;
    for (const auto& [value, text] : digits)
        for (; n >= value && out.size() < 32; n -= value)
            out += QLatin1String(text);
    return out;
}

int literalListKind(const Paragraph& p)
{
    if (p.style.tabStops.isEmpty())
        return WPText::ListNone;
    static const QRegularExpression marker(QStringLiteral("^\\t(\u2022|[0-9]{1,9}\\.)\\t"));
    const auto m = marker.match(p.text().left(16));
    if (!m.hasMatch())
        return WPText::ListNone;
    return m.captured(1) == QString(WPText::kBullet) ? WPText::ListBullet : WPText::ListNumber;
}

QList<qsizetype> Table::grid() const
{
    if (rows <= 0 || columns <= 0)
        return {};
    QList<qsizetype> out(qsizetype(rows) * columns, -1);
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const TableCell& c = cells.at(i);
        if (c.row < 0 || c.column < 0 || c.row >= rows || c.column >= columns)
            continue;
        const int lastRow = std::min(rows, c.row + std::max(1, c.rowSpan));
        const int lastColumn = std::min(columns, c.column + std::max(1, c.columnSpan));
        for (int r = c.row; r < lastRow; ++r)
            for (int col = c.column; col < lastColumn; ++col)
                out[qsizetype(r) * columns + col] = i;
    }
    return out;
}

QList<Part> parts(const QTextDocument& doc)
{
    QList<Part> out;
    Table* open = nullptr;
    quintptr openId = 0;
    for (Paragraph& p : paragraphs(doc)) {
        if (!p.cell) {
            open = nullptr;
            out.append(std::move(p));
            continue;
        }
        const CellRef ref = *p.cell;
        if (!open || openId != ref.table) {
            Table t;
            t.rows = ref.tableRows;
            t.columns = ref.tableColumns;
            t.columnWidths = ref.columnWidths;
            out.append(std::move(t));
            open = &std::get<Table>(out.last());
            openId = ref.table;
        }
        if (open->cells.isEmpty() || open->cells.last().row != ref.row || open->cells.last().column != ref.column)
            open->cells.append({ref.row, ref.column, ref.rowSpan, ref.columnSpan, ref.background, {}});
        open->cells.last().paragraphs.append(std::move(p));
    }
    return out;
}

// ---- Builder -----------------------------------------------------------

namespace {

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

void Builder::addTable(const Table& t)
{
    addTable(t, [this, &t](QTextCursor& cursor, qsizetype i, bool reuse) {
        for (const Paragraph& p : t.cells.at(i).paragraphs) {
            fill(cursor, p, reuse);
            reuse = false;
        }
    });
}

void Builder::addTable(const Table& t, const CellFiller& fillCell)
{
    // Qt makes every cell up front: keep hostile dimensions to a table a
    // document can hold.
    constexpr int maxCells = 200000;
    const int columns = std::clamp(t.columns, 1, 1000);
    const int rows = std::clamp(t.rows, 1, maxCells / columns);
    QTextCursor cursor(m_doc);
    cursor.movePosition(QTextCursor::End);
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
    m_lastBlockFree = true;
}

} // namespace WPTextModel
