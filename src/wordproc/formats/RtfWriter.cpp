// Writing RTF: one group per run, a paragraph's properties after \pard,
// tables as \trowd rows of \cell paragraphs (tables in cells as \itap
// paragraphs ending in \nestcell), pictures as PNG/JPEG \pict data
// (or, for RTFD, as references to files beside the RTF).
#include "wordproc/formats/Rtf.h"

#include "wordproc/WPText.h"
#include "wordproc/formats/FieldCode.h"
#include "wordproc/formats/FormatSupport.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QSet>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

namespace Rtf {

namespace {

using namespace FormatSupport;
using WPTextModel::Paragraph;
using WPTextModel::Run;

int twips(qreal points)
{
    if (!std::isfinite(points))
        return 0;
    return int(std::lround(std::clamp(points, -kMaxLengthPt, kMaxLengthPt) * 20.0));
}

// Text escaped for RTF: ASCII as is, the rest as \uN with a "?" fallback.
void appendEscaped(QByteArray& out, const QString& text, bool keepControls = false)
{
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        switch (c) {
        case '\\': out += "\\\\"; continue;
        case '{': out += "\\{"; continue;
        case '}': out += "\\}"; continue;
        case '\t': out += "\\tab "; continue;
        case 0x2028: out += "\\line "; continue;
        case 0x00A0: out += "\\~"; continue;
        case 0x00AD: out += "\\-"; continue;
        case 0x2011: out += "\\_"; continue;
        default: break;
        }
        if (c < 0x20) {
            if (keepControls)
                out += "\\u" + QByteArray::number(int(c)) + '?';
            continue;
        }
        if (c < 0x80) {
            out += char(c);
            continue;
        }
        out += "\\u" + QByteArray::number(int(c) > 32767 ? int(c) - 65536 : int(c)) + '?';
    }
}

// Whether a list marker's text (between its two tabs) comes back from
// \listtext as it is: readers trim it, drop control characters and read a
// Symbol-font dot as the bullet.
bool readsBackAsMarker(const QString& core)
{
    if (core.isEmpty() || core != core.trimmed() || core == QString(QChar(0x00B7)) || core == QString(QChar(0xF0B7)))
        return false;
    return std::none_of(core.cbegin(), core.cend(), [](QChar c) { return c.unicode() < 0x20; });
}

class Writer {
public:
    Writer(const QTextDocument& document, const WPDocAttributes& attributes, QList<Attachment>* attachments)
        : m_doc(document)
        , m_attributes(attributes)
        , m_attachments(attachments)
    {
    }
    QByteArray run();

private:
    void scanFormats(const Paragraph& paragraph);
    void scanTable(const WPTextModel::Table& table);
    // `level`: 0 outside tables, 1 in a table's cell, 2 in a table nested
    // in a cell, and so on.
    void writeBlock(const Paragraph& paragraph, int level, const char* end);
    void writeTable(const WPTextModel::Table& table, int level, qreal width);
    void writeCell(const QList<Paragraph>& paragraphs, int level, qreal width);
    void writeRun(const Run& run);
    void writeHeaderFooter(const char* destination, const QString& text);
    void writeCharProps(const Run& f);
    void writePicture(const Run& run);
    int fontIndex(const QString& family) const { return int(m_fonts.indexOf(family)); }
    int colorIndex(const QColor& color) const { return int(m_colors.indexOf(color.rgb())) + 1; }

    const QTextDocument& m_doc;
    const WPDocAttributes& m_attributes;
    QList<Attachment>* m_attachments;
    QByteArray m_out;
    QStringList m_fonts;
    QList<QRgb> m_colors;
    QSet<QString> m_usedNames;
    qreal m_textWidth = 468;
};

void Writer::scanFormats(const Paragraph& paragraph)
{
    for (const Run& r : writtenRuns(paragraph)) {
        if (!r.defaultFamily && !r.family.isEmpty() && !m_fonts.contains(r.family))
            m_fonts.append(r.family);
        for (const QColor& color : {r.foreground, r.background}) {
            if (color.isValid() && !m_colors.contains(color.rgb()))
                m_colors.append(color.rgb());
        }
    }
}

void Writer::scanTable(const WPTextModel::Table& table)
{
    for (const WPTextModel::TableCell& cell : table.cells) {
        if (cell.background.isValid() && !m_colors.contains(cell.background.rgb()))
            m_colors.append(cell.background.rgb());
        for (const Paragraph& p : cell.paragraphs) {
            if (p.table)
                scanTable(*p.table);
            else
                scanFormats(p);
        }
    }
}

QByteArray Writer::run()
{
    const QList<WPTextModel::Part> parts = WPTextModel::parts(m_doc);
    for (const WPTextModel::Part& part : parts) {
        if (const Paragraph* p = std::get_if<Paragraph>(&part)) {
            scanFormats(*p);
        } else {
            scanTable(std::get<WPTextModel::Table>(part));
        }
    }
    if (m_fonts.isEmpty())
        m_fonts.append(QStringLiteral("Helvetica"));

    m_out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    for (int i = 0; i < m_fonts.size(); ++i) {
        m_out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 ";
        appendEscaped(m_out, m_fonts[i]);
        m_out += ";}";
    }
    m_out += "}\n{\\colortbl;";
    for (QRgb rgb : std::as_const(m_colors)) {
        m_out += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" + QByteArray::number(qGreen(rgb))
               + "\\blue" + QByteArray::number(qBlue(rgb)) + ';';
    }
    m_out += "}\n";
    // Two lists: 1 bulleted, 2 numbered; paragraphs refer to them by \ls.
    m_out += "{\\*\\listtable"
             "{\\list\\listtemplateid1\\listhybrid{\\listlevel\\levelnfc23\\levelnfcn23\\leveljc0\\leveljcn0"
             "\\levelfollow0\\levelstartat1{\\leveltext\\leveltemplateid1\\'01\\u8226 ?;}{\\levelnumbers;}"
             "\\fi-360\\li720\\lin720 }{\\listname ;}\\listid1}"
             "{\\list\\listtemplateid2\\listhybrid{\\listlevel\\levelnfc0\\levelnfcn0\\leveljc0\\leveljcn0"
             "\\levelfollow0\\levelstartat1{\\leveltext\\leveltemplateid2\\'02\\'00.;}{\\levelnumbers\\'01;}"
             "\\fi-360\\li720\\lin720 }{\\listname ;}\\listid2}}\n"
             "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}"
             "{\\listoverride\\listid2\\listoverridecount0\\ls2}}\n";
    if (m_attributes.comment) {
        m_out += "{\\info{\\doccomm ";
        appendEscaped(m_out, *m_attributes.comment, true);
        m_out += "}}\n";
    }
    const QSizeF paper = m_attributes.paperSize.value_or(QSizeF(612, 792));
    if (m_attributes.paperSize)
        m_out += "\\paperw" + QByteArray::number(twips(paper.width())) + "\\paperh"
               + QByteArray::number(twips(paper.height()));
    const std::pair<const char*, std::optional<qreal>> margins[] = {
        {"\\margl", m_attributes.leftMargin}, {"\\margr", m_attributes.rightMargin},
        {"\\margt", m_attributes.topMargin}, {"\\margb", m_attributes.bottomMargin}};
    for (const auto& [word, value] : margins) {
        if (value)
            m_out += word + QByteArray::number(twips(*value));
    }
    m_out += "\n";
    if (m_attributes.comment) {
        if (const auto hf = WPHeaderFooter::decode(*m_attributes.comment)) {
            writeHeaderFooter("header", hf->first);
            writeHeaderFooter("footer", hf->second);
        }
    }
    const qreal width = paper.width() - m_attributes.leftMargin.value_or(72) - m_attributes.rightMargin.value_or(72);
    m_textWidth = std::isfinite(width) && width >= 72 ? width : 468;

    for (const WPTextModel::Part& part : parts) {
        if (const Paragraph* p = std::get_if<Paragraph>(&part))
            writeBlock(*p, 0, "\\par\n");
        else
            writeTable(std::get<WPTextModel::Table>(part), 1, m_textWidth);
    }
    m_out += "}\n";
    return m_out;
}

void Writer::writeBlock(const Paragraph& paragraph, int level, const char* end)
{
    const WPTextModel::ParagraphStyle& f = paragraph.style;
    m_out += "\\pard";
    if (level > 0)
        m_out += "\\intbl";
    if (level > 1)
        m_out += "\\itap" + QByteArray::number(level);
    const Qt::Alignment a = f.alignment;
    if (a & Qt::AlignHCenter)
        m_out += "\\qc";
    else if (a & Qt::AlignRight)
        m_out += "\\qr";
    else if (a & Qt::AlignJustify)
        m_out += "\\qj";
    const int kind = f.listKind == WPText::ListBullet || f.listKind == WPText::ListNumber ? f.listKind : int(WPText::ListNone);
    if (kind == WPText::ListBullet)
        m_out += "\\ls1\\ilvl0";
    else if (kind == WPText::ListNumber)
        m_out += "\\ls2\\ilvl0";
    const qreal head = f.headIndent;
    const qreal first = f.firstLineHeadIndent;
    if (head != 0)
        m_out += "\\li" + QByteArray::number(twips(head));
    if (first != head)
        m_out += "\\fi" + QByteArray::number(twips(first - head));
    if (f.tailIndent != 0)
        m_out += "\\ri" + QByteArray::number(twips(f.tailIndent));
    if (f.spaceBefore > 0)
        m_out += "\\sb" + QByteArray::number(twips(f.spaceBefore));
    if (f.spaceAfter > 0)
        m_out += "\\sa" + QByteArray::number(twips(f.spaceAfter));
    const qreal multiple = f.lineHeightMultiple;
    if (multiple > 0)
        m_out += "\\sl" + QByteArray::number(int(std::lround(multiple * 240))) + "\\slmult1";
    for (qsizetype i = 0; i < f.tabStops.size(); ++i) {
        const int type = f.tabKinds.value(i, QTextOption::LeftTab);
        if (type == QTextOption::RightTab)
            m_out += "\\tqr";
        else if (type == QTextOption::CenterTab)
            m_out += "\\tqc";
        else if (type == QTextOption::DelimiterTab)
            m_out += "\\tqdec";
        m_out += "\\tx" + QByteArray::number(twips(f.tabStops.at(i)));
    }
    m_out += ' ';

    QList<Run> list = writtenRuns(paragraph);
    int marker = kind != WPText::ListNone ? markerLength(paragraph.text()) : 0;
    if (marker > 0 && !readsBackAsMarker(paragraph.text().mid(1, marker - 2)))
        marker = 0; // stays text
    if (marker > 0) {
        // The marker run goes to \listtext, which list-aware readers replace
        // with their own marker and others show as text.
        m_out += "{\\listtext";
        for (const Run& part : takeLeading(list, marker)) {
            writeCharProps(part);
            m_out += ' ';
            appendEscaped(m_out, part.text);
        }
        m_out += '}';
    }
    // Runs of one link go into one HYPERLINK field, its result.
    for (qsizetype i = 0; i < list.size();) {
        if (!list[i].link || list[i].href.isEmpty()) {
            writeRun(list[i++]);
            continue;
        }
        const QString href = list[i].href;
        m_out += "{\\field{\\*\\fldinst{";
        appendEscaped(m_out, FieldCode::hyperlinkInstruction(href));
        m_out += "}}{\\fldrslt";
        for (; i < list.size() && list[i].link && list[i].href == href; ++i)
            writeRun(list[i]);
        m_out += "}}";
    }
    m_out += end;
}

// Header and footer as other programs show them: one centred paragraph of
// small text, page numbers as PAGE and NUMPAGES fields.
void Writer::writeHeaderFooter(const char* destination, const QString& text)
{
    const QList<FieldCode::Piece> pieces = FieldCode::templatePieces(text);
    if (pieces.isEmpty())
        return;
    m_out += QByteArray("{\\") + destination + "\\pard\\plain\\qc\\fs18 ";
    for (const FieldCode::Piece& piece : pieces) {
        if (piece.kind == FieldCode::Piece::Text)
            appendEscaped(m_out, piece.text);
        else
            m_out += piece.kind == FieldCode::Piece::Page ? "{\\field{\\*\\fldinst PAGE }{\\fldrslt 1}}"
                                                          : "{\\field{\\*\\fldinst NUMPAGES }{\\fldrslt 1}}";
    }
    m_out += "\\par}\n";
}

void Writer::writeCharProps(const Run& f)
{
    m_out += "\\plain";
    const int font = f.defaultFamily ? -1 : fontIndex(f.family);
    if (font >= 0)
        m_out += "\\f" + QByteArray::number(font);
    const qreal size = f.defaultSize ? 12.0 : f.pointSize;
    m_out += "\\fs" + QByteArray::number(int(std::lround(std::clamp(size, 1.0, 1638.0) * 2)));
    if (f.bold)
        m_out += "\\b";
    if (f.italic)
        m_out += "\\i";
    switch (f.underline) {
    case WPText::StyleNone: break;
    case WPText::StyleDouble: m_out += "\\uldb"; break;
    case WPText::StyleThick: m_out += "\\ulth"; break;
    default: m_out += "\\ul"; break;
    }
    const int strike = f.strike;
    if (strike == WPText::StyleDouble)
        m_out += "\\striked1";
    else if (strike != WPText::StyleNone)
        m_out += "\\strike";
    if (f.foreground.isValid())
        m_out += "\\cf" + QByteArray::number(colorIndex(f.foreground));
    if (f.background.isValid()) {
        const QByteArray n = QByteArray::number(colorIndex(f.background));
        m_out += "\\cb" + n + "\\highlight" + n;
    }
    if (f.baseline == 1)
        m_out += "\\super";
    else if (f.baseline == 2)
        m_out += "\\sub";
}

void Writer::writeRun(const Run& run)
{
    m_out += '{';
    writeCharProps(run);
    if (run.picture) {
        writePicture(run);
    } else {
        m_out += ' ';
        appendEscaped(m_out, run.text);
    }
    m_out += '}';
}

void Writer::writePicture(const Run& run)
{
    Picture picture = pictureOf(*run.picture);
    if (picture.data.isEmpty())
        return;
    const QSizeF size = picture.sizePt.isEmpty() ? QSizeF(72, 72) : picture.sizePt;
    if (m_attachments) {
        QString name = picture.fileName.isEmpty() ? QStringLiteral("image.png") : picture.fileName;
        name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
        if (name.startsWith(QLatin1Char('.')))
            name.prepend(QLatin1Char('_'));
        if (name.size() > 120)
            name = name.left(100) + name.right(20);
        const QString base = name.section(QLatin1Char('.'), 0, 0);
        const QString ext = name.contains(QLatin1Char('.')) ? QLatin1Char('.') + name.section(QLatin1Char('.'), 1) : QString();
        for (int n = 2; m_usedNames.contains(name.toLower()) || name.compare(QLatin1String("TXT.rtf"), Qt::CaseInsensitive) == 0; ++n)
            name = QStringLiteral("%1 %2%3").arg(base).arg(n).arg(ext);
        m_usedNames.insert(name.toLower());
        m_attachments->append({name, picture.data});
        m_out += " {{\\NeXTGraphic ";
        appendEscaped(m_out, name);
        m_out += " \\width" + QByteArray::number(twips(size.width())) + " \\height"
               + QByteArray::number(twips(size.height())) + "}\\uc0\\u65532 }";
        return;
    }
    QString type = picture.format();
    if (type != QLatin1String("png") && type != QLatin1String("jpeg")) {
        // Word reads PNG and JPEG; other pictures are stored as PNG.
        QImage image;
        if (!image.loadFromData(picture.data))
            return;
        picture.data.clear();
        QBuffer buffer(&picture.data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        type = QStringLiteral("png");
    }
    const QSize pixels = imagePixelSize(picture.data);
    m_out += "{\\*\\shppict{\\pict";
    m_out += type == QLatin1String("png") ? "\\pngblip" : "\\jpegblip";
    if (pixels.isValid())
        m_out += "\\picw" + QByteArray::number(pixels.width()) + "\\pich" + QByteArray::number(pixels.height());
    m_out += "\\picwgoal" + QByteArray::number(twips(size.width())) + "\\pichgoal"
           + QByteArray::number(twips(size.height())) + "\n";
    const QByteArray hex = picture.data.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128) {
        m_out += hex.mid(i, 128);
        m_out += '\n';
    }
    m_out += "}}";
}

void Writer::writeCell(const QList<Paragraph>& paras, int level, qreal width)
{
    // A cell's last paragraph ends it; a table there is followed by an
    // empty one.
    const char* end = level > 1 ? "\\nestcell\n" : "\\cell\n";
    for (qsizetype b = 0; b < paras.size(); ++b) {
        const bool last = b + 1 == paras.size();
        if (!paras[b].table) {
            writeBlock(paras[b], level, last ? end : "\\par\n");
            continue;
        }
        writeTable(*paras[b].table, level + 1, width);
        if (last)
            writeBlock(Paragraph(), level, end);
    }
    if (paras.isEmpty())
        writeBlock(Paragraph(), level, end);
}

void Writer::writeTable(const WPTextModel::Table& table, int level, qreal width)
{
    const int columns = std::max(1, table.columns);
    const int cellTwips = std::max(10, twips(width) / columns);
    // Each cell's right edge: the table's own column widths when it has
    // them, else equal columns across the width.
    QList<int> edges;
    if (const QList<qreal> widths = columnWidthsPt(table, width); !widths.isEmpty()) {
        qreal sofar = 0;
        for (const qreal w : widths) {
            sofar += w;
            // No column so narrow that a reader takes its edges for one.
            edges.append(std::max(edges.isEmpty() ? 10 : edges.last() + 10, twips(sofar)));
        }
    } else {
        for (int c = 0; c < columns; ++c)
            edges.append(cellTwips * (c + 1));
    }
    const QList<qsizetype> grid = table.grid();
    auto cellAt = [&](int r, int c) -> const WPTextModel::TableCell* {
        const qsizetype i = c < table.columns ? grid.value(qsizetype(r) * table.columns + c, -1) : -1;
        return i >= 0 ? &table.cells.at(i) : nullptr;
    };
    // A cell merged across columns is one wider cell, as other word
    // processors write it; one merged down is a first cell and the ones
    // continuing it below. A nested table's rows give their definition
    // after their cells, as other word processors expect.
    for (int r = 0; r < table.rows; ++r) {
        QByteArray definition = "\\trowd\\trgaph108\\trleft0";
        QList<std::pair<const WPTextModel::TableCell*, qreal>> written; // the row's cells (null: empty) and widths
        for (int c = 0; c < columns;) {
            const WPTextModel::TableCell* cell = cellAt(r, c);
            const int span = cell ? std::clamp(cell->column + cell->columnSpan - c, 1, columns - c) : 1;
            if (cell && cell->rowSpan > 1)
                definition += cell->row == r ? "\\clvmgf" : "\\clvmrg";
            if (cell && cell->background.isValid())
                definition += "\\clcbpat" + QByteArray::number(colorIndex(cell->background));
            definition += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10"
                          "\\clbrdrr\\brdrs\\brdrw10\\cellx"
                        + QByteArray::number(edges.at(c + span - 1));
            const int left = c > 0 ? edges.at(c - 1) : 0;
            written.append({cell && cell->row == r ? cell : nullptr, (edges.at(c + span - 1) - left) / 20.0});
            c += span;
        }
        if (level == 1)
            m_out += definition + '\n';
        for (const auto& [cell, cellWidth] : std::as_const(written))
            writeCell(cell ? cell->paragraphs : QList<Paragraph>(), level, cellWidth);
        if (level == 1)
            m_out += "\\row\n";
        else
            m_out += "{\\*\\nesttableprops" + definition + "\\nestrow}{\\nonesttables\\par}\n";
    }
}

} // namespace

QByteArray write(const QTextDocument& text, const WPDocAttributes& attributes, QList<Attachment>* attachments)
{
    Writer writer(text, attributes, attachments);
    return writer.run();
}

} // namespace Rtf
