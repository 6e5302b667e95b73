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

// A table's column widths: constraints all of one kind, each with a
// length, are the columns' shares of the width.
QList<qreal> widthsOf(const QTextTable* table)
{
    QList<qreal> widths;
    const QList<QTextLength> constraints = table->format().columnWidthConstraints();
    if (constraints.size() != table->columns())
        return {};
    for (const QTextLength& l : constraints) {
        if (l.type() != constraints.first().type() || l.type() == QTextLength::VariableLength || !(l.rawValue() > 0))
            return {};
        widths.append(l.rawValue());
    }
    return widths;
}

CellRef cellRefOf(QTextTable* table, const QTextTableCell& cell, const QList<qreal>& widths)
{
    CellRef cr;
    cr.columnWidths = widths;
    cr.table = quintptr(table);
    cr.tableRows = table->rows();
    cr.tableColumns = table->columns();
    cr.row = cell.row();
    cr.column = cell.column();
    cr.rowSpan = std::max(1, cell.rowSpan());
    cr.columnSpan = std::max(1, cell.columnSpan());
    cr.background = brushColor(cell.format().background());
    return cr;
}

// Calls `visit` for each cell of `table` that starts where it lies.
template <typename Visit>
void forEachCell(QTextTable* table, Visit visit)
{
    for (int r = 0; r < table->rows(); ++r) {
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.isValid() && cell.row() == r && cell.column() == c)
                visit(cell);
        }
    }
}

void walkTable(const QTextDocument& doc, QTextTable* table, const std::optional<CellRef>& outer,
               QList<Paragraph>& out, int depth)
{
    const QList<qreal> widths = widthsOf(table);
    forEachCell(table, [&](const QTextTableCell& cell) {
        const CellRef ref = outer ? *outer : cellRefOf(table, cell, widths);
        // The empty paragraphs Qt keeps before a table at the start of a
        // cell and after one at its end are not the text's own.
        QList<Paragraph> mine;
        bool afterTable = false;
        bool bareAfterTable = false;
        for (auto it = cell.begin(); !it.atEnd(); ++it) {
            if (QTextFrame* child = it.currentFrame()) {
                const bool isTable = qobject_cast<QTextTable*>(child);
                if (isTable && mine.size() == 1 && mine.first().runs.isEmpty() && !afterTable)
                    mine.clear();
                walkFrame(doc, child, ref, mine, depth + 1);
                afterTable = isTable;
                bareAfterTable = false;
            } else if (it.currentBlock().isValid()) {
                Paragraph p = paragraphOf(doc, it.currentBlock());
                p.cell = ref;
                bareAfterTable = afterTable && p.runs.isEmpty();
                afterTable = false;
                mine.append(std::move(p));
            }
        }
        if (bareAfterTable)
            mine.removeLast();
        out += mine;
    });
}

Table tableOf(const QTextDocument& doc, QTextTable* table, int depth)
{
    Table t;
    t.rows = table->rows();
    t.columns = table->columns();
    t.columnWidths = widthsOf(table);
    forEachCell(table, [&](const QTextTableCell& cell) {
        const CellRef ref = cellRefOf(table, cell, t.columnWidths);
        TableCell tc{ref.row, ref.column, ref.rowSpan, ref.columnSpan, ref.background, {}};
        QList<Paragraph>& out = tc.paragraphs;
        for (auto it = cell.begin(); !it.atEnd(); ++it) {
            QTextFrame* child = it.currentFrame();
            auto* inner = qobject_cast<QTextTable*>(child);
            if (inner && depth < kMaxTableNesting) {
                Paragraph p;
                p.cell = ref;
                p.position = inner->firstPosition();
                p.table = std::make_shared<const Table>(tableOf(doc, inner, depth + 1));
                out.append(std::move(p));
            } else if (child) {
                walkFrame(doc, child, ref, out, depth + 1);
            } else if (it.currentBlock().isValid()) {
                Paragraph p = paragraphOf(doc, it.currentBlock());
                p.cell = ref;
                out.append(std::move(p));
            }
        }
        // Qt keeps an empty paragraph before and after a table: the ones a
        // nested table at the start or the end of its cell brings are not
        // the text's own.
        auto bare = [](const Paragraph& p) { return !p.table && p.runs.isEmpty(); };
        if (out.size() >= 2 && out.at(1).table && bare(out.first()))
            out.removeFirst();
        if (out.size() >= 2 && out.at(out.size() - 2).table && bare(out.last()))
            out.removeLast();
        t.cells.append(std::move(tc));
    });
    return t;
}

void walkParts(const QTextDocument& doc, QTextFrame* frame, QList<Part>& out)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (QTextFrame* child = it.currentFrame()) {
            if (auto* table = qobject_cast<QTextTable*>(child))
                out.append(tableOf(doc, table, 1));
            else
                walkParts(doc, child, out);
        } else if (it.currentBlock().isValid()) {
            out.append(paragraphOf(doc, it.currentBlock()));
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

QList<Paragraph> flattened(const QList<Paragraph>& paragraphs)
{
    QList<Paragraph> out;
    for (const Paragraph& p : paragraphs) {
        if (!p.table) {
            out.append(p);
            continue;
        }
        for (const TableCell& c : p.table->cells)
            out += flattened(c.paragraphs);
    }
    return out;
}

QList<Part> parts(const QTextDocument& doc)
{
    QList<Part> out;
    walkParts(doc, doc.rootFrame(), out);
    return out;
}

} // namespace WPTextModel
