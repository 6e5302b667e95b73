// Body of word/document.xml: paragraphs, runs, pictures and tables.
#include "wordproc/docx/DocxWriter.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImageWriter>
#include <QMutex>
#include <cmath>

namespace DocxWriter {

namespace {

const QString kPicNS = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/picture");

bool isPng(const QByteArray& data)
{
    return data.startsWith("\x89PNG\r\n\x1a\n");
}

// The PNG of each picture that had to be encoded, by a digest of the bytes
// it came from: a document is written again at every save and every
// recovery copy, and encoding a photo takes a large part of a second.
class PngCache {
public:
    std::optional<QByteArray> find(const QByteArray& key)
    {
        const QMutexLocker lock(&m_mutex);
        for (qsizetype i = 0; i < m_items.size(); ++i) {
            if (m_items.at(i).first == key) {
                m_items.move(i, 0);
                return m_items.first().second;
            }
        }
        return std::nullopt;
    }

    void insert(const QByteArray& key, const QByteArray& png)
    {
        if (png.size() > kBytes)
            return;
        const QMutexLocker lock(&m_mutex);
        m_items.prepend({key, png});
        m_size += png.size();
        while (m_size > kBytes) {
            m_size -= m_items.last().second.size();
            m_items.removeLast();
        }
    }

private:
    static constexpr qsizetype kBytes = 256 << 20;
    QMutex m_mutex;
    QList<std::pair<QByteArray, QByteArray>> m_items; // most recently used first
    qsizetype m_size = 0;
};

PngCache& pngCache()
{
    static PngCache cache;
    return cache;
}

QByteArray pngBytes(const WPTextModel::Picture& picture, const QImage& image)
{
    if (isPng(picture.data))
        return picture.data; // already PNG: store what was read, byte for byte
    const QByteArray key = picture.data.isEmpty()
        ? QByteArray()
        : QCryptographicHash::hash(picture.data, QCryptographicHash::Blake2b_256);
    if (!key.isEmpty()) {
        if (std::optional<QByteArray> png = pngCache().find(key))
            return *png;
    }
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return {};
    if (!key.isEmpty())
        pngCache().insert(key, out);
    return out;
}

QString num(qint64 v)
{
    return QString::number(v);
}

} // namespace

qint64 whole(double value)
{
    if (!std::isfinite(value))
        return 0;
    constexpr double limit = 1e15;
    return std::llround(std::clamp(value, -limit, limit));
}

qint64 truncated(double value)
{
    if (!std::isfinite(value))
        return 0;
    constexpr double limit = 1e15;
    return qint64(std::trunc(std::clamp(value, -limit, limit)));
}

QString esc(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        switch (u) {
        case u'&': out += QLatin1String("&amp;"); continue;
        case u'<': out += QLatin1String("&lt;"); continue;
        case u'>': out += QLatin1String("&gt;"); continue;
        case u'"': out += QLatin1String("&quot;"); continue;
        default: break;
        }
        if (u < 0x20 && u != 0x09 && u != 0x0A)
            continue;
        if (u == 0xFFFE || u == 0xFFFF)
            continue;
        if (c.isHighSurrogate()) {
            if (i + 1 < n && text.at(i + 1).isLowSurrogate()) {
                out += c;
                out += text.at(++i);
            }
            continue; // an unpaired half cannot be written
        }
        if (c.isLowSurrogate())
            continue;
        out += c;
    }
    return out;
}

std::optional<QString> hex(const QColor& color)
{
    // A fully transparent colour shows nothing: six digits would paint it
    // opaque (web text often carries a "transparent" background).
    if (!color.isValid() || color.alpha() == 0)
        return std::nullopt;
    const QColor rgb = color.toRgb();
    auto part = [](float f) { return int(std::clamp<long>(std::lround(double(f) * 255.0), 0, 255)); };
    return QStringLiteral("%1%2%3")
        .arg(part(rgb.redF()), 2, 16, QLatin1Char('0'))
        .arg(part(rgb.greenF()), 2, 16, QLatin1Char('0'))
        .arg(part(rgb.blueF()), 2, 16, QLatin1Char('0'))
        .toUpper();
}

QString runXML(const WPTextModel::Run& run)
{
    // Properties in the schema's sequence: rFonts, b, i, strike, color, sz, u, shd.
    QString props;
    if (!run.family.isEmpty()) {
        const QString n = esc(run.family);
        props += QStringLiteral("<w:rFonts w:ascii=\"%1\" w:hAnsi=\"%1\" w:cs=\"%1\"/>").arg(n);
        if (run.bold)
            props += QLatin1String("<w:b/>");
        if (run.italic)
            props += QLatin1String("<w:i/>");
    }
    if (run.strike != 0)
        props += QLatin1String("<w:strike/>");
    std::optional<QString> color;
    if (const auto h = hex(run.foreground); h && *h != QLatin1String("000000"))
        color = *h;
    int underline = run.underline;
    if (run.link && !color) {
        // A link shows as one: blue, and underlined unless it has its own line.
        color = QStringLiteral("0563C1");
        if (underline == 0)
            underline = WPText::StyleSingle;
    }
    if (color)
        props += QStringLiteral("<w:color w:val=\"%1\"/>").arg(*color);
    if (!run.family.isEmpty() && run.pointSize > 0)
        props += QStringLiteral("<w:sz w:val=\"%1\"/>").arg(num(whole(run.pointSize * 2)));
    if (underline != 0) {
        const bool dbl = (underline & 0x01) && (underline & 0x08);
        props += dbl ? QLatin1String("<w:u w:val=\"double\"/>") : QLatin1String("<w:u w:val=\"single\"/>");
    }
    if (const auto h = hex(run.background))
        props += QStringLiteral("<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"%1\"/>").arg(*h);

    QString text;
    const QStringList pieces = run.text.split(QChar('\t'));
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            text += QLatin1String("<w:tab/>");
        QString piece = pieces.at(i);
        piece.replace(QChar(0x000B), QChar(0x2028));
        const QStringList lines = piece.split(QChar(0x2028));
        for (qsizetype j = 0; j < lines.size(); ++j) {
            if (j > 0)
                text += QLatin1String("<w:br/>");
            if (lines.at(j).isEmpty())
                continue;
            QString t = lines.at(j);
            t.remove(QChar(0xFFFC));
            text += QLatin1String("<w:t xml:space=\"preserve\">") + esc(t) + QLatin1String("</w:t>");
        }
    }
    QString out = QStringLiteral("<w:r>");
    if (!props.isEmpty())
        out += QLatin1String("<w:rPr>") + props + QLatin1String("</w:rPr>");
    out += text;
    out += QLatin1String("</w:r>");
    return out;
}

QString paragraphXML(const WPTextModel::Paragraph& paragraph, Ctx& ctx)
{
    const WPTextModel::ParagraphStyle& s = paragraph.style;
    const bool list = s.listKind != WPText::ListNone;
    // Properties in the schema's sequence: tabs, spacing, ind, jc.
    QString props;
    if (list && !s.tabStops.isEmpty()) {
        props += QLatin1String("<w:tabs>");
        for (qreal stop : s.tabStops)
            props += QStringLiteral("<w:tab w:val=\"left\" w:pos=\"%1\"/>").arg(num(whole(stop * 20)));
        props += QLatin1String("</w:tabs>");
    }
    if (s.lineHeightMultiple > 0 && s.lineHeightMultiple != 1)
        props += QStringLiteral("<w:spacing w:line=\"%1\" w:lineRule=\"auto\"/>")
                     .arg(num(whole(s.lineHeightMultiple * 240)));
    if (list || s.headIndent > 0 || s.firstLineHeadIndent > 0) {
        const qint64 left = whole(s.headIndent * 20);
        const qint64 first = whole((s.firstLineHeadIndent - s.headIndent) * 20);
        if (first < 0)
            props += QStringLiteral("<w:ind w:left=\"%1\" w:hanging=\"%2\"/>").arg(num(left), num(-first));
        else
            props += QStringLiteral("<w:ind w:left=\"%1\" w:firstLine=\"%2\"/>").arg(num(left), num(first));
    }
    if (s.alignment == Qt::AlignHCenter)
        props += QLatin1String("<w:jc w:val=\"center\"/>");
    else if (s.alignment == Qt::AlignJustify)
        props += QLatin1String("<w:jc w:val=\"both\"/>");
    else if (s.alignment == Qt::AlignRight)
        props += QLatin1String("<w:jc w:val=\"right\"/>");

    QString out = QStringLiteral("<w:p>");
    if (!props.isEmpty())
        out += QLatin1String("<w:pPr>") + props + QLatin1String("</w:pPr>");
    if (!paragraph.text().isEmpty()) {
        for (const WPTextModel::Run& run : paragraph.runs) {
            if (run.picture)
                out += imageRun(*run.picture, ctx);
            else if (!run.text.isEmpty())
                out += runXML(run);
        }
    }
    out += QLatin1String("</w:p>");
    return out;
}

QString imageRun(const WPTextModel::Picture& picture, Ctx& ctx)
{
    const QImage image = picture.decoded();
    if (image.isNull())
        return {};
    const QByteArray png = pngBytes(picture, image);
    if (png.isEmpty())
        return {};
    double w = picture.sizePt.width();
    double h = picture.sizePt.height();
    if (!(w >= 1) || !(h >= 1)) {
        w = image.width();
        h = image.height();
    }
    const double maxWidth = double(ctx.contentWidthTwips) / 20.0;
    if (maxWidth >= 1 && w > maxWidth) {
        h = h * maxWidth / w;
        w = maxWidth;
    }
    ctx.media.append(png);
    const qsizetype n = ctx.media.size();
    const int id = ctx.drawingID++;
    const QString cx = num(truncated(w * 12700));
    const QString cy = num(truncated(h * 12700));
    return QStringLiteral(
               "<w:r><w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\">"
               "<wp:extent cx=\"%1\" cy=\"%2\"/><wp:docPr id=\"%3\" name=\"Picture %3\"/>"
               "<a:graphic><a:graphicData uri=\"%4\"><pic:pic><pic:nvPicPr>"
               "<pic:cNvPr id=\"%3\" name=\"image%5.png\"/><pic:cNvPicPr/></pic:nvPicPr>"
               "<pic:blipFill><a:blip r:embed=\"rIdImg%5\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>"
               "<pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"%1\" cy=\"%2\"/></a:xfrm>"
               "<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr></pic:pic></a:graphicData>"
               "</a:graphic></wp:inline></w:drawing></w:r>")
        .arg(cx, cy, QString::number(id), kPicNS, QString::number(n));
}

void TableBuild::add(const WPTextModel::CellRef& block, const QString& paragraph)
{
    for (Cell& c : cells) {
        if (c.row == block.row && c.col == block.column) {
            c.xml += paragraph;
            return;
        }
    }
    cells.append(Cell{block.row, block.column, std::max(1, block.columnSpan), paragraph, block.background,
                      std::max(1, block.rowSpan)});
}

QString TableBuild::xml(const Ctx& ctx) const
{
    int columns = std::max(1, declaredColumns);
    int rows = 1;
    for (const Cell& c : cells) {
        columns = std::max(columns, c.col + c.span);
        rows = std::max(rows, c.row + c.rowSpan);
    }
    const qint64 w = std::max<qint64>(400, ctx.contentWidthTwips / columns);
    QString out = QStringLiteral("<w:tbl><w:tblPr><w:tblW w:w=\"%1\" w:type=\"dxa\"/><w:tblBorders>").arg(num(w * columns));
    for (const char* border : {"top", "left", "bottom", "right", "insideH", "insideV"})
        out += QStringLiteral("<w:%1 w:val=\"single\" w:sz=\"6\" w:space=\"0\" w:color=\"737373\"/>")
                   .arg(QLatin1String(border));
    out += QLatin1String("</w:tblBorders><w:tblLayout w:type=\"fixed\"/><w:tblLook w:val=\"04A0\"/></w:tblPr><w:tblGrid>");
    const QString gridCol = QStringLiteral("<w:gridCol w:w=\"%1\"/>").arg(num(w));
    for (int c = 0; c < columns; ++c)
        out += gridCol;
    out += QLatin1String("</w:tblGrid>");
    for (int r = 0; r < rows; ++r) {
        out += QLatin1String("<w:tr>");
        for (int c = 0; c < columns;) {
            const Cell* found = nullptr;
            for (const Cell& cell : cells) {
                if (cell.row == r && cell.col == c) {
                    found = &cell;
                    break;
                }
            }
            const Cell* above = nullptr;
            for (const Cell& cell : cells) {
                if (!found && cell.col == c && cell.row < r && r < cell.row + cell.rowSpan) {
                    above = &cell;
                    break;
                }
            }
            if (above) {
                // A cell merged down from a row above continues here.
                out += QStringLiteral("<w:tc><w:tcPr><w:tcW w:w=\"%1\" w:type=\"dxa\"/>").arg(num(w * above->span));
                if (above->span >= 2)
                    out += QStringLiteral("<w:gridSpan w:val=\"%1\"/>").arg(above->span);
                out += QLatin1String("<w:vMerge/></w:tcPr><w:p/></w:tc>");
                c += above->span;
                continue;
            }
            if (!found) {
                out += QStringLiteral("<w:tc><w:tcPr><w:tcW w:w=\"%1\" w:type=\"dxa\"/></w:tcPr><w:p/></w:tc>").arg(num(w));
                ++c;
                continue;
            }
            out += QStringLiteral("<w:tc><w:tcPr><w:tcW w:w=\"%1\" w:type=\"dxa\"/>").arg(num(w * found->span));
            if (found->span >= 2)
                out += QStringLiteral("<w:gridSpan w:val=\"%1\"/>").arg(found->span);
            if (found->rowSpan >= 2)
                out += QLatin1String("<w:vMerge w:val=\"restart\"/>");
            if (const auto h = hex(found->bg))
                out += QStringLiteral("<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"%1\"/>").arg(*h);
            out += QLatin1String("</w:tcPr>");
            out += found->xml.isEmpty() ? QStringLiteral("<w:p/>") : found->xml;
            out += QLatin1String("</w:tc>");
            c += found->span;
        }
        out += QLatin1String("</w:tr>");
    }
    out += QLatin1String("</w:tbl><w:p/>");
    return out;
}

QString body(const QList<WPTextModel::Paragraph>& paragraphs, Ctx& ctx)
{
    QString out;
    std::optional<TableBuild> open;
    for (const WPTextModel::Paragraph& p : paragraphs) {
        if (p.cell) {
            if (!open || open->table != p.cell->table) {
                if (open)
                    out += open->xml(ctx);
                open = TableBuild{p.cell->table, p.cell->tableColumns, {}};
            }
            open->add(*p.cell, paragraphXML(p, ctx));
        } else {
            if (open) {
                out += open->xml(ctx);
                open.reset();
            }
            out += paragraphXML(p, ctx);
        }
    }
    if (open)
        out += open->xml(ctx);
    return out;
}

} // namespace DocxWriter
