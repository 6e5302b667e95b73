// Writing Word 97 binary documents: the text as one Unicode piece, character
// and paragraph properties in formatted disk pages, a minimal style sheet and
// font table, one section with the page setup, tables with merged cells, and
// the header/footer record in the summary information's comment, and inline
// pictures as drawing shapes in the Data stream.
#include "wordproc/formats/Word97.h"

#include "wordproc/WPTextModel.h"
#include "wordproc/formats/CompoundFile.h"
#include "wordproc/formats/FieldCode.h"
#include "wordproc/formats/Word97Format.h"
#include "wordproc/formats/Word97Parts.h"
#include "wordproc/formats/Word97Summary.h"

#include <QHash>
#include <numeric>
#include <QLocale>
#include <QMap>
#include <QTextDocument>
#include <QtEndian>
#include <cmath>

namespace Word97 {

using namespace Word97Format;
using WPTextModel::Paragraph;
using WPTextModel::Run;

namespace {

using namespace Parts;

constexpr int kMaxInlinePapx = 400; // larger paragraph properties go to the Data stream

struct Field {
    quint32 cp = 0;
    int ch = 0;
};

// Story indexes in the header document: six note separators, then per
// section the even and odd headers, even and odd footers, first-page
// header and footer.
constexpr int kOddHeaderStory = 7;
constexpr int kOddFooterStory = 9;
constexpr int kHeaderStories = 12;

class Writer {
public:
    Writer(const QTextDocument& doc, const WPDocAttributes& attributes);
    QByteArray file();

private:
    void paragraph(const Paragraph& p, const QByteArray& tableSprms, QChar mark);
    void table(const QList<Paragraph>& paragraphs);
    void runs(const Paragraph& p);
    std::optional<quint32> picture(const WPTextModel::Picture& picture);
    QByteArray charSprms(const Run& r);
    QByteArray paraSprms(const Paragraph& p) const;
    void addParagraphRun(quint32 start, QByteArray grpprl);
    void headerFooterStory(const QString& text);
    int fontIndex(const QString& family);
    QByteArray sectionSprms() const;

    const QTextDocument& m_doc;
    const WPDocAttributes& m_attributes;
    QString m_text;
    QList<PropRun> m_chars;
    QList<PropRun> m_paras;
    QList<Field> m_fields;
    QList<Field> m_headerFields; // positions from the header document's start
    quint32 m_headerStart = 0;
    QStringList m_fonts;
    QByteArray m_data; // the Data stream: pictures and oversized paragraph properties
    int m_pictures = 0;
    QSizeF m_paper{612, 792};
    qreal m_left = 72, m_right = 72, m_top = 72, m_bottom = 72;
};

Writer::Writer(const QTextDocument& doc, const WPDocAttributes& attributes)
    : m_doc(doc)
    , m_attributes(attributes)
{
    m_fonts << QStringLiteral("Times New Roman") << QStringLiteral("Symbol") << QStringLiteral("Arial");
    auto finite = [](const std::optional<qreal>& v, qreal fallback) {
        return v && std::isfinite(*v) && *v >= 0 ? *v : fallback;
    };
    if (attributes.paperSize && attributes.paperSize->width() > 0 && attributes.paperSize->height() > 0)
        m_paper = *attributes.paperSize;
    m_left = finite(attributes.leftMargin, 72);
    m_right = finite(attributes.rightMargin, 72);
    m_top = finite(attributes.topMargin, 72);
    m_bottom = finite(attributes.bottomMargin, 72);
}

int Writer::fontIndex(const QString& family)
{
    const qsizetype i = m_fonts.indexOf(family);
    if (i >= 0)
        return int(i);
    if (m_fonts.size() >= 0x7FFF)
        return 0;
    m_fonts.append(family);
    return int(m_fonts.size() - 1);
}

QByteArray Writer::charSprms(const Run& r)
{
    QByteArray g;
    if (!r.family.isEmpty()) {
        const int f = fontIndex(r.family.left(31));
        for (quint16 sprm : {sprmCRgFtc0, sprmCRgFtc1, sprmCRgFtc2}) {
            add16(g, sprm);
            add16(g, f);
        }
    }
    if (r.pointSize > 0 && std::isfinite(r.pointSize)) {
        add16(g, sprmCHps);
        add16(g, std::clamp(int(std::lround(r.pointSize * 2)), 2, 3276));
    }
    if (r.bold) {
        add16(g, sprmCFBold);
        add8(g, 1);
    }
    if (r.italic) {
        add16(g, sprmCFItalic);
        add8(g, 1);
    }
    if (r.underline != WPText::StyleNone) {
        add16(g, sprmCKul);
        add8(g, r.underline == WPText::StyleDouble ? 3 : r.underline == WPText::StyleThick ? 6 : 1);
    }
    if (r.strike != WPText::StyleNone) {
        add16(g, r.strike == WPText::StyleDouble ? sprmCFDStrike : sprmCFStrike);
        add8(g, 1);
    }
    if (r.baseline == 1 || r.baseline == 2) {
        add16(g, sprmCIss);
        add8(g, r.baseline);
    }
    if (r.foreground.isValid()) {
        add16(g, sprmCIco);
        add8(g, nearestIco(r.foreground));
        add16(g, sprmCCv);
        add32(g, colorRef(r.foreground));
    }
    if (r.background.isValid()) {
        if (const int ico = exactIco(r.background)) {
            add16(g, sprmCHighlight);
            add8(g, ico);
        } else {
            add16(g, sprmCShd);
            add8(g, 10);
            add32(g, 0xFF000000); // automatic pattern colour
            add32(g, colorRef(r.background));
            add16(g, 0);
        }
    }
    return g;
}

QByteArray Writer::paraSprms(const Paragraph& p) const
{
    const WPTextModel::ParagraphStyle& s = p.style;
    QByteArray g;
    add16(g, 0); // style: Normal
    const int jc = s.alignment == Qt::AlignHCenter ? 1 : s.alignment == Qt::AlignRight ? 2
                 : s.alignment == Qt::AlignJustify ? 3 : 0;
    if (jc != 0) {
        add16(g, sprmPJc80);
        add8(g, jc);
    }
    const int left = twips(s.headIndent);
    const int first = twips(s.firstLineHeadIndent - s.headIndent);
    const int right = twips(s.tailIndent);
    if (left != 0) {
        add16(g, sprmPDxaLeft80);
        add16(g, left);
    }
    if (first != 0) {
        add16(g, sprmPDxaLeft180);
        add16(g, first);
    }
    if (right != 0) {
        add16(g, sprmPDxaRight80);
        add16(g, right);
    }
    if (s.spaceBefore > 0) {
        add16(g, sprmPDyaBefore);
        add16(g, twips(s.spaceBefore));
    }
    if (s.spaceAfter > 0) {
        add16(g, sprmPDyaAfter);
        add16(g, twips(s.spaceAfter));
    }
    if (s.lineHeightMultiple > 0 && s.lineHeightMultiple != 1 && std::isfinite(s.lineHeightMultiple)) {
        add16(g, sprmPDyaLine);
        add16(g, std::clamp(int(std::lround(240 * s.lineHeightMultiple)), 1, 31680));
        add16(g, 1);
    }
    const qsizetype tabs = std::min<qsizetype>(s.tabStops.size(), 64);
    if (tabs > 0) {
        add16(g, sprmPChgTabsPapx);
        add8(g, int(2 + 3 * tabs));
        add8(g, 0); // nothing deleted
        add8(g, int(tabs));
        for (qsizetype i = 0; i < tabs; ++i)
            add16(g, twips(s.tabStops[i]));
        for (qsizetype i = 0; i < tabs; ++i) {
            const int kind = s.tabKinds.value(i, QTextOption::LeftTab);
            add8(g, kind == QTextOption::CenterTab ? 1 : kind == QTextOption::RightTab ? 2
                      : kind == QTextOption::DelimiterTab ? 3 : 0);
        }
    }
    return g;
}

// The picture's record in the Data stream; its offset, or nothing when the
// picture has no image.
std::optional<quint32> Writer::picture(const WPTextModel::Picture& picture)
{
    const QByteArray record = pictureRecord(picture, 1025 + m_pictures);
    if (record.isEmpty())
        return std::nullopt;
    if (m_data.size() % 2)
        m_data.append('\0');
    const quint32 at = quint32(m_data.size());
    m_data += record;
    ++m_pictures;
    return at;
}

void Writer::runs(const Paragraph& p)
{
    for (const Run& r : p.runs) {
        if (r.picture) {
            if (const std::optional<quint32> at = picture(*r.picture)) {
                QByteArray props = charSprms(r);
                add16(props, sprmCFSpec);
                add8(props, 1);
                add16(props, sprmCPicLocation);
                add32(props, *at);
                m_chars.append({quint32(m_text.size()), quint32(m_text.size() + 1), props});
                m_text += QChar(0x01);
            }
            continue;
        }
        QString text;
        text.reserve(r.text.size());
        for (QChar c : r.text) {
            if (c == QChar::LineSeparator || c == QLatin1Char('\n'))
                text += QChar(0x0B);
            else if (c == QLatin1Char('\t'))
                text += c;
            else if (c == QChar(0x2011))
                text += QChar(0x1E);
            else if (c == QChar(0x00AD))
                text += QChar(0x1F);
            else if (c.unicode() >= 0x20 && c != QChar::ObjectReplacementCharacter && c != QChar::ParagraphSeparator)
                text += c;
        }
        if (text.isEmpty())
            continue;
        const QByteArray props = charSprms(r);
        if (r.link && !r.href.isEmpty()) {
            QByteArray special = props;
            add16(special, sprmCFSpec);
            add8(special, 1);
            const QString code = FieldCode::hyperlinkInstruction(r.href);
            const auto mark = [&](QChar c, int ch) {
                m_fields.append({quint32(m_text.size()), ch});
                m_chars.append({quint32(m_text.size()), quint32(m_text.size() + 1), special});
                m_text += c;
            };
            mark(QChar(0x13), 0x13 | (88 << 8));
            m_chars.append({quint32(m_text.size()), quint32(m_text.size() + code.size()), props});
            m_text += code;
            mark(QChar(0x14), 0x14);
            m_chars.append({quint32(m_text.size()), quint32(m_text.size() + text.size()), props});
            m_text += text;
            mark(QChar(0x15), 0x15 | (0x80 << 8)); // the field has a result
            continue;
        }
        m_chars.append({quint32(m_text.size()), quint32(m_text.size() + text.size()), props});
        m_text += text;
    }
}

void Writer::addParagraphRun(quint32 start, QByteArray grpprl)
{
    if (grpprl.size() > kMaxInlinePapx) {
        // Too large for a page: the properties go to the Data stream and the
        // paragraph points there.
        const quint32 at = quint32(m_data.size());
        add16(m_data, int(grpprl.size() - 2));
        m_data += grpprl.mid(2);
        QByteArray small = grpprl.left(2);
        add16(small, sprmPHugePapx);
        add32(small, at);
        grpprl = small;
    }
    m_paras.append({start, quint32(m_text.size()), grpprl});
}

void Writer::paragraph(const Paragraph& p, const QByteArray& tableSprms, QChar mark)
{
    const quint32 start = quint32(m_text.size());
    runs(p);
    const Run* last = p.runs.isEmpty() ? nullptr : &p.runs.last();
    QByteArray markProps;
    if (last && !last->picture)
        markProps = charSprms(*last);
    m_chars.append({quint32(m_text.size()), quint32(m_text.size() + 1), markProps});
    m_text += mark;
    addParagraphRun(start, paraSprms(p) + tableSprms);
}

void Writer::table(const QList<Paragraph>& paragraphs)
{
    const WPTextModel::CellRef& first = *paragraphs.first().cell;
    const int rows = std::clamp(first.tableRows, 1, 100000);
    const int columns = std::clamp(first.tableColumns, 1, 63);
    struct Cell {
        WPTextModel::CellRef ref;
        QList<Paragraph> paragraphs;
    };
    QList<Cell> cells;
    QHash<qint64, qsizetype> byOrigin;
    for (const Paragraph& original : paragraphs) {
        // A file holds at most 63 columns: the text of cells beyond them
        // joins the row's last one.
        WPTextModel::CellRef ref = original.cell.value_or(WPTextModel::CellRef());
        if (ref.column >= columns) {
            ref.column = columns - 1;
            ref.columnSpan = 1;
        }
        const qint64 key = qint64(ref.row) * 1000 + ref.column;
        auto it = byOrigin.constFind(key);
        if (it == byOrigin.constEnd()) {
            it = byOrigin.insert(key, cells.size());
            cells.append({ref, {}});
        }
        Paragraph p = original;
        p.cell = ref;
        cells[*it].paragraphs.append(std::move(p));
    }
    // Which cell covers each grid position.
    QList<qsizetype> grid(qsizetype(rows) * columns, -1);
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const WPTextModel::CellRef& r = cells[i].ref;
        for (int y = r.row; y < std::min(rows, r.row + std::max(1, r.rowSpan)); ++y)
            for (int x = r.column; x < std::min(columns, r.column + std::max(1, r.columnSpan)); ++x)
                if (y >= 0 && x >= 0)
                    grid[qsizetype(y) * columns + x] = i;
    }
    const int width = std::max(twips(m_paper.width() - m_left - m_right), 720);
    // Each column's right edge: the table's own widths, else equal columns.
    QList<int> columnEdge;
    {
        const QList<qreal>& shares = first.columnWidths;
        const bool usable = shares.size() == columns && std::all_of(shares.cbegin(), shares.cend(), [](qreal w) {
            return std::isfinite(w) && w > 0 && w < 1e9;
        });
        const qreal sum = usable ? std::accumulate(shares.cbegin(), shares.cend(), 0.0) : 0;
        qreal sofar = 0;
        for (int x = 0; x < columns; ++x) {
            sofar += usable ? shares.at(x) : 1;
            const int edge = int(std::lround(width * sofar / (usable ? sum : columns)));
            columnEdge.append(std::max(columnEdge.isEmpty() ? 1 : columnEdge.last() + 1, edge));
        }
    }

    QByteArray inTable;
    add16(inTable, sprmPFInTable);
    add8(inTable, 1);
    for (int y = 0; y < rows; ++y) {
        QList<int> edges{0};
        QList<quint16> flags;
        QList<QColor> shades;
        for (int x = 0; x < columns;) {
            const qsizetype index = grid[qsizetype(y) * columns + x];
            int span = 1;
            quint16 f = 0;
            if (index < 0) {
                paragraph(Paragraph(), inTable, QChar(0x07));
                shades.append(QColor());
            } else {
                const Cell& c = cells[index];
                span = std::max(1, std::min(c.ref.columnSpan, columns - c.ref.column) - (x - c.ref.column));
                shades.append(c.ref.background);
                if (c.ref.rowSpan > 1)
                    f = c.ref.row == y ? tcVertRestart | tcVertMerge : tcVertMerge;
                if (c.ref.row != y || c.paragraphs.isEmpty()) {
                    paragraph(Paragraph(), inTable, QChar(0x07));
                } else {
                    for (qsizetype k = 0; k < c.paragraphs.size(); ++k)
                        paragraph(c.paragraphs[k], inTable,
                                  k + 1 == c.paragraphs.size() ? QChar(0x07) : QChar(0x0D));
                }
            }
            flags.append(f);
            x += span;
            edges.append(columnEdge.at(x - 1));
        }
        // The row's end: its own paragraph carrying the row's cell layout.
        QByteArray row = inTable;
        add16(row, sprmPFTtp);
        add8(row, 1);
        add16(row, sprmTDxaGapHalf);
        add16(row, 108);
        const int count = int(flags.size());
        QByteArray def;
        add8(def, count);
        for (int e : std::as_const(edges))
            add16(def, e);
        for (quint16 f : std::as_const(flags)) {
            add16(def, f);
            add16(def, 0);
            for (int side = 0; side < 4; ++side) { // single 1/2-point lines in grey
                add8(def, 4);
                add8(def, 1);
                add8(def, 15);
                add8(def, 0);
            }
        }
        add16(row, sprmTDefTable);
        add16(row, int(def.size() + 1));
        row += def;
        bool anyShade = false;
        for (const QColor& c : std::as_const(shades))
            anyShade = anyShade || c.isValid();
        if (anyShade) {
            const int n = std::min(count, 25);
            add16(row, sprmTDefTableShd);
            add8(row, 10 * n);
            for (int i = 0; i < n; ++i) {
                add32(row, 0xFF000000);
                add32(row, shades[i].isValid() ? colorRef(shades[i]) : 0xFF000000);
                add16(row, 0);
            }
        }
        paragraph(Paragraph(), row, QChar(0x07));
    }
}

// A header or footer as other programs show it: one centred paragraph of
// 9-point grey text, page numbers as PAGE and NUMPAGES fields.
void Writer::headerFooterStory(const QString& text)
{
    Run format;
    format.pointSize = 9;
    format.foreground = QColor(0x59, 0x59, 0x59);
    const QByteArray props = charSprms(format);
    QByteArray special = props;
    add16(special, sprmCFSpec);
    add8(special, 1);
    const quint32 start = quint32(m_text.size());
    auto plain = [&](const QString& t) {
        QString clean;
        for (QChar c : t)
            if (c.unicode() >= 0x20 || c == QLatin1Char('\t'))
                clean += c;
        if (clean.isEmpty())
            return;
        m_chars.append({quint32(m_text.size()), quint32(m_text.size() + clean.size()), props});
        m_text += clean;
    };
    auto mark = [&](QChar c, int ch) {
        m_headerFields.append({quint32(m_text.size()) - m_headerStart, ch});
        m_chars.append({quint32(m_text.size()), quint32(m_text.size() + 1), special});
        m_text += c;
    };
    for (const FieldCode::Piece& piece : FieldCode::templatePieces(text)) {
        if (piece.kind == FieldCode::Piece::Text) {
            plain(piece.text);
            continue;
        }
        const bool pages = piece.kind == FieldCode::Piece::Pages;
        mark(QChar(0x13), 0x13 | (pages ? 26 : 33) << 8);
        plain(pages ? QStringLiteral(" NUMPAGES ") : QStringLiteral(" PAGE "));
        mark(QChar(0x14), 0x14);
        plain(QStringLiteral("1"));
        mark(QChar(0x15), 0x15 | 0x80 << 8);
    }
    m_chars.append({quint32(m_text.size()), quint32(m_text.size() + 1), props});
    m_text += QChar(0x0D);
    QByteArray centred;
    add16(centred, 0);
    add16(centred, sprmPJc80);
    add8(centred, 1);
    addParagraphRun(start, centred);
}

QByteArray Writer::sectionSprms() const
{
    QByteArray g;
    if (m_paper.width() > m_paper.height()) {
        add16(g, sprmSBOrientation);
        add8(g, 1); // landscape
    }
    add16(g, sprmSXaPage);
    add16(g, twips(m_paper.width()));
    add16(g, sprmSYaPage);
    add16(g, twips(m_paper.height()));
    add16(g, sprmSDxaLeft);
    add16(g, twips(m_left));
    add16(g, sprmSDxaRight);
    add16(g, twips(m_right));
    add16(g, sprmSDyaTop);
    add16(g, twips(m_top));
    add16(g, sprmSDyaBottom);
    add16(g, twips(m_bottom));
    return g;
}

QByteArray Writer::file()
{
    const QList<Paragraph> all = WPTextModel::paragraphs(m_doc);
    for (qsizetype i = 0; i < all.size();) {
        if (!all[i].cell) {
            paragraph(all[i], QByteArray(), QChar(0x0D));
            ++i;
            continue;
        }
        const quintptr id = all[i].cell->table;
        qsizetype end = i;
        while (end < all.size() && all[end].cell && all[end].cell->table == id)
            ++end;
        table(all.mid(i, end - i));
        i = end;
    }
    // The document ends with a paragraph of its own, never inside a table.
    if (m_text.isEmpty() || (!all.isEmpty() && all.last().cell))
        paragraph(Paragraph(), QByteArray(), QChar(0x0D));
    const quint32 ccpText = quint32(m_text.size());

    // The header and footer as other programs show them (the record in the
    // summary keeps their templates for us).
    QList<quint32> stories;
    if (const auto hf = WPHeaderFooter::decode(m_attributes.comment.value_or(QString()));
        hf && (!hf->first.isEmpty() || !hf->second.isEmpty())) {
        m_headerStart = ccpText;
        for (int i = 0; i < kHeaderStories; ++i) {
            stories.append(quint32(m_text.size()) - m_headerStart);
            if (i == kOddHeaderStory && !hf->first.isEmpty())
                headerFooterStory(hf->first);
            else if (i == kOddFooterStory && !hf->second.isEmpty())
                headerFooterStory(hf->second);
        }
        stories.append(quint32(m_text.size()) - m_headerStart);
        paragraph(Paragraph(), QByteArray(), QChar(0x0D)); // the header document's closing mark
        stories.append(quint32(m_text.size()) - m_headerStart);
        // With stories besides the main text, the whole ends with one more mark.
        paragraph(Paragraph(), QByteArray(), QChar(0x0D));
    }
    const quint32 ccpHdd = stories.isEmpty() ? 0 : stories.last();
    const quint32 ccp = quint32(m_text.size());
    QByteArray word(kTextStart, '\0');
    for (QChar c : std::as_const(m_text))
        add16(word, c.unicode());
    if (word.size() % 2)
        word.append('\0');
    const quint32 fcSepx = quint32(word.size());
    const QByteArray sep = sectionSprms();
    add16(word, int(sep.size()));
    word += sep;
    word.append(QByteArray((kPage - word.size() % kPage) % kPage, '\0'));
    QList<quint32> chpPages, papPages;
    word += formattedPages(m_chars, false, quint32(word.size() / kPage), chpPages);
    word += formattedPages(m_paras, true, quint32(word.size() / kPage), papPages);

    QByteArray table;
    QMap<int, std::pair<quint32, quint32>> fcLcb;
    auto put = [&table, &fcLcb](int index, const QByteArray& bytes) {
        fcLcb[index] = {quint32(table.size()), quint32(bytes.size())};
        table += bytes;
    };
    const QByteArray stsh = styleSheet();
    put(Stshf, stsh);
    fcLcb[0] = fcLcb[Stshf];
    QByteArray sed;
    add32(sed, 0);
    add32(sed, ccpText);
    add16(sed, 0);
    add32(sed, fcSepx);
    add16(sed, 0);
    add32(sed, 0xFFFFFFFF);
    put(PlcfSed, sed);
    auto bte = [](const QList<PropRun>& runs, const QList<quint32>& pages, const QByteArray& word) {
        QByteArray b;
        for (quint32 p : pages)
            add32(b, qFromLittleEndian<quint32>(word.constData() + p * kPage));
        add32(b, kTextStart + 2 * (runs.isEmpty() ? 0 : runs.last().cpEnd));
        for (quint32 p : pages)
            add32(b, p);
        return b;
    };
    put(PlcfBteChpx, bte(m_chars, chpPages, word));
    put(PlcfBtePapx, bte(m_paras, papPages, word));
    auto fieldTable = [](const QList<Field>& fields, quint32 end) {
        QByteArray plc;
        for (const Field& f : fields)
            add32(plc, f.cp);
        add32(plc, end);
        for (const Field& f : fields)
            add16(plc, f.ch);
        return plc;
    };
    if (!m_fields.isEmpty())
        put(PlcfFldMom, fieldTable(m_fields, ccpText));
    if (!stories.isEmpty()) {
        QByteArray hdd;
        for (quint32 cp : std::as_const(stories))
            add32(hdd, cp);
        put(PlcfHdd, hdd);
    }
    if (!m_headerFields.isEmpty())
        put(PlcfFldHdr, fieldTable(m_headerFields, ccpHdd));
    put(SttbfFfn, fontTable(m_fonts));
    QByteArray dop(500, '\0');
    set16(dop, 0x0A, 720); // default tab stops every half inch
    put(Dop, dop);
    QByteArray clx;
    add8(clx, 2);
    add32(clx, 4 * 2 + 8);
    add32(clx, 0);
    add32(clx, ccp);
    add16(clx, 0);
    add32(clx, kTextStart); // Unicode text at this byte offset
    add16(clx, 0);
    put(Clx, clx);

    // File information block.
    set16(word, 0x00, kIdent);
    set16(word, 0x02, kNFib);
    set16(word, 0x06, 0x0409);
    set16(word, 0x0A, 0x0200 | 0x1000 | (m_pictures > 0 ? 0x0008 : 0)); // 1Table, extended characters, pictures
    set16(word, 0x0C, 0x00BF);
    set32(word, 0x18, kTextStart);
    set32(word, 0x1C, kTextStart + 2 * ccp);
    set32(word, kCcpHdd, ccpHdd);
    set16(word, 0x20, 14);
    set16(word, 0x22 + 2 * 13, 0x0409);
    set16(word, 0x3E, 22);
    set32(word, 0x40, quint32(word.size()));
    set32(word, kCcpText, ccpText);
    set16(word, 0x98, FcLcbCount);
    for (auto it = fcLcb.constBegin(); it != fcLcb.constEnd(); ++it) {
        set32(word, fcOffset(it.key()), it->first);
        set32(word, fcOffset(it.key()) + 4, it->second);
    }

    QList<std::pair<QString, QByteArray>> streams{
        {QStringLiteral("WordDocument"), word},
        {QStringLiteral("1Table"), table},
    };
    if (!m_data.isEmpty())
        streams.append({QStringLiteral("Data"), m_data});
    streams.append({QStringLiteral("\x05SummaryInformation"), Word97Summary::write(m_attributes.comment.value_or(QString()))});
    // The class of Word documents.
    return CompoundFile::write(streams, QByteArray("\x06\x09\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16));
}

} // namespace

QByteArray write(const QTextDocument& text, const WPDocAttributes& attributes)
{
    Writer w(text, attributes);
    return w.file();
}

} // namespace Word97
