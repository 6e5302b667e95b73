// Writing Word 2003 XML: document properties, two list definitions, the
// body's paragraphs, runs and tables, pictures as base64 binData, and the
// section's page size and margins.
#include "wordproc/formats/WordML.h"

#include "wordproc/WPText.h"
#include "wordproc/formats/FormatSupport.h"

#include <QTextDocument>
#include <QXmlStreamWriter>
#include <cmath>

namespace WordML {

namespace {

using namespace FormatSupport;
using WPTextModel::Paragraph;
using WPTextModel::Run;

QString twips(qreal points)
{
    if (!std::isfinite(points))
        points = 0;
    return QString::number(std::lround(std::clamp(points, -kMaxLengthPt, kMaxLengthPt) * 20));
}

void empty(QXmlStreamWriter& w, const char* name, const char* attr = nullptr, const QString& value = {})
{
    w.writeEmptyElement(QLatin1String(name));
    if (attr)
        w.writeAttribute(QLatin1String(attr), value);
}

class Writer {
public:
    Writer(const QTextDocument& doc, const WPDocAttributes& attributes, QXmlStreamWriter& w)
        : m_doc(doc)
        , m_attributes(attributes)
        , w(w)
    {
    }
    void run();

private:
    void properties();
    void lists();
    void paragraph(const Paragraph& paragraph);
    void runProperties(const Run& run);
    void textRun(const Run& run);
    void picture(const Run& run);
    void table(const WPTextModel::Table& table);
    void section();

    const QTextDocument& m_doc;
    const WPDocAttributes& m_attributes;
    QXmlStreamWriter& w;
    int m_pictures = 0;
};

void Writer::run()
{
    w.writeStartDocument(QStringLiteral("1.0"), true);
    w.writeProcessingInstruction(QStringLiteral("mso-application"), QStringLiteral("progid=\"Word.Document\""));
    w.writeStartElement(QStringLiteral("w:wordDocument"));
    w.writeAttribute(QStringLiteral("xmlns:w"), QStringLiteral("http://schemas.microsoft.com/office/word/2003/wordml"));
    w.writeAttribute(QStringLiteral("xmlns:wx"), QStringLiteral("http://schemas.microsoft.com/office/word/2003/auxHint"));
    w.writeAttribute(QStringLiteral("xmlns:o"), QStringLiteral("urn:schemas-microsoft-com:office:office"));
    w.writeAttribute(QStringLiteral("xmlns:v"), QStringLiteral("urn:schemas-microsoft-com:vml"));
    w.writeAttribute(QStringLiteral("xmlns:dt"), QStringLiteral("uuid:C2F41010-65B3-11d1-A29F-00AA00C14882"));
    w.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
    properties();
    lists();
    w.writeStartElement(QStringLiteral("w:body"));
    for (const WPTextModel::Part& part : WPTextModel::parts(m_doc)) {
        if (const Paragraph* p = std::get_if<Paragraph>(&part))
            paragraph(*p);
        else
            table(std::get<WPTextModel::Table>(part));
    }
    section();
    w.writeEndElement();
    w.writeEndDocument();
}

void Writer::properties()
{
    if (!m_attributes.comment)
        return;
    // XML cannot hold U+001F: the templates go to custom properties.
    if (const auto hf = WPHeaderFooter::decode(*m_attributes.comment)) {
        w.writeStartElement(QStringLiteral("o:CustomDocumentProperties"));
        for (const auto& [name, value] : {std::pair{"o:VEXO-HF-Header", hf->first}, std::pair{"o:VEXO-HF-Footer", hf->second}}) {
            w.writeStartElement(QLatin1String(name));
            w.writeAttribute(QStringLiteral("dt:dt"), QStringLiteral("string"));
            w.writeCharacters(xmlSafe(value));
            w.writeEndElement();
        }
        w.writeEndElement();
        return;
    }
    w.writeStartElement(QStringLiteral("o:DocumentProperties"));
    w.writeTextElement(QStringLiteral("o:Description"), xmlSafe(*m_attributes.comment));
    w.writeEndElement();
}

void Writer::lists()
{
    w.writeStartElement(QStringLiteral("w:lists"));
    const std::pair<const char*, QString> defs[] = {{"23", QString(QChar(WPText::kBullet))}, {"0", QStringLiteral("%1.")}};
    for (int i = 0; i < 2; ++i) {
        w.writeStartElement(QStringLiteral("w:listDef"));
        w.writeAttribute(QStringLiteral("w:listDefId"), QString::number(i));
        w.writeStartElement(QStringLiteral("w:lvl"));
        w.writeAttribute(QStringLiteral("w:ilvl"), QStringLiteral("0"));
        empty(w, "w:start", "w:val", QStringLiteral("1"));
        empty(w, "w:nfc", "w:val", QLatin1String(defs[i].first));
        empty(w, "w:lvlText", "w:val", defs[i].second);
        w.writeStartElement(QStringLiteral("w:pPr"));
        empty(w, "w:ind", "w:left", QStringLiteral("720"));
        w.writeAttribute(QStringLiteral("w:hanging"), QStringLiteral("360"));
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
    }
    for (int i = 0; i < 2; ++i) {
        w.writeStartElement(QStringLiteral("w:list"));
        w.writeAttribute(QStringLiteral("w:ilfo"), QString::number(i + 1));
        empty(w, "w:ilst", "w:val", QString::number(i));
        w.writeEndElement();
    }
    w.writeEndElement();
}

void Writer::paragraph(const Paragraph& paragraph)
{
    const WPTextModel::ParagraphStyle& f = paragraph.style;
    const QString text = paragraph.text();
    w.writeStartElement(QStringLiteral("w:p"));
    w.writeStartElement(QStringLiteral("w:pPr"));
    const int kind = f.listKind == WPText::ListBullet || f.listKind == WPText::ListNumber ? f.listKind : int(WPText::ListNone);
    const int marker = kind != WPText::ListNone ? markerLength(text) : 0;
    if (kind != WPText::ListNone) {
        w.writeStartElement(QStringLiteral("w:listPr"));
        empty(w, "w:ilvl", "w:val", QStringLiteral("0"));
        empty(w, "w:ilfo", "w:val", kind == WPText::ListBullet ? QStringLiteral("1") : QStringLiteral("2"));
        if (marker > 2)
            empty(w, "wx:t", "wx:val", text.mid(1, marker - 2));
        w.writeEndElement();
    }
    if (!f.tabStops.isEmpty()) {
        w.writeStartElement(QStringLiteral("w:tabs"));
        for (qsizetype i = 0; i < f.tabStops.size(); ++i) {
            const int type = f.tabKinds.value(i, QTextOption::LeftTab);
            empty(w, "w:tab", "w:val", type == QTextOption::RightTab    ? QStringLiteral("right")
                                       : type == QTextOption::CenterTab   ? QStringLiteral("center")
                                       : type == QTextOption::DelimiterTab ? QStringLiteral("decimal")
                                                                           : QStringLiteral("left"));
            w.writeAttribute(QStringLiteral("w:pos"), twips(f.tabStops.at(i)));
        }
        w.writeEndElement();
    }
    if (f.spaceBefore > 0 || f.spaceAfter > 0 || f.lineHeightMultiple > 0) {
        w.writeEmptyElement(QStringLiteral("w:spacing"));
        if (f.spaceBefore > 0)
            w.writeAttribute(QStringLiteral("w:before"), twips(f.spaceBefore));
        if (f.spaceAfter > 0)
            w.writeAttribute(QStringLiteral("w:after"), twips(f.spaceAfter));
        if (f.lineHeightMultiple > 0) {
            w.writeAttribute(QStringLiteral("w:line"), QString::number(std::lround(f.lineHeightMultiple * 240)));
            w.writeAttribute(QStringLiteral("w:line-rule"), QStringLiteral("auto"));
        }
    }
    const qreal head = f.headIndent, first = f.firstLineHeadIndent, tail = f.tailIndent;
    if (head != 0 || first != head || tail != 0) {
        w.writeEmptyElement(QStringLiteral("w:ind"));
        w.writeAttribute(QStringLiteral("w:left"), twips(head));
        w.writeAttribute(QStringLiteral("w:right"), twips(tail));
        if (first >= head)
            w.writeAttribute(QStringLiteral("w:first-line"), twips(first - head));
        else
            w.writeAttribute(QStringLiteral("w:hanging"), twips(head - first));
    }
    const Qt::Alignment a = f.alignment;
    if (a & (Qt::AlignHCenter | Qt::AlignRight | Qt::AlignJustify))
        empty(w, "w:jc", "w:val", a & Qt::AlignHCenter ? QStringLiteral("center") : a & Qt::AlignRight ? QStringLiteral("right") : QStringLiteral("both"));
    w.writeEndElement(); // pPr

    QList<Run> runs = writtenRuns(paragraph);
    takeLeading(runs, marker); // Word draws the list's marker itself
    QString openLink; // the target of the w:hlink the runs are in
    for (const Run& r : std::as_const(runs)) {
        const QString href = r.link ? r.href : QString();
        if (href != openLink) {
            if (!openLink.isEmpty())
                w.writeEndElement();
            if (!href.isEmpty()) {
                const qsizetype hash = href.indexOf(QLatin1Char('#'));
                w.writeStartElement(QStringLiteral("w:hlink"));
                if (hash != 0)
                    w.writeAttribute(QStringLiteral("w:dest"), xmlSafe(hash < 0 ? href : href.left(hash)));
                if (hash >= 0)
                    w.writeAttribute(QStringLiteral("w:bookmark"), xmlSafe(href.mid(hash + 1)));
            }
            openLink = href;
        }
        if (r.picture)
            picture(r);
        else
            textRun(r);
    }
    if (!openLink.isEmpty())
        w.writeEndElement();
    w.writeEndElement(); // p
}

void Writer::runProperties(const Run& f)
{
    w.writeStartElement(QStringLiteral("w:rPr"));
    const QString& family = f.family;
    if (!family.isEmpty() && !f.defaultFamily) {
        w.writeEmptyElement(QStringLiteral("w:rFonts"));
        for (const char* attr : {"w:ascii", "w:h-ansi", "w:fareast", "w:cs"})
            w.writeAttribute(QLatin1String(attr), xmlSafe(family));
    }
    if (f.bold)
        empty(w, "w:b");
    if (f.italic)
        empty(w, "w:i");
    switch (f.underline) {
    case WPText::StyleNone: break;
    case WPText::StyleDouble: empty(w, "w:u", "w:val", QStringLiteral("double")); break;
    case WPText::StyleThick: empty(w, "w:u", "w:val", QStringLiteral("thick")); break;
    default: empty(w, "w:u", "w:val", QStringLiteral("single")); break;
    }
    const int strike = f.strike;
    if (strike == WPText::StyleDouble)
        empty(w, "w:dstrike");
    else if (strike != WPText::StyleNone)
        empty(w, "w:strike");
    if (f.foreground.isValid())
        empty(w, "w:color", "w:val", f.foreground.name().mid(1).toUpper());
    if (f.pointSize > 0 && !f.defaultSize)
        empty(w, "w:sz", "w:val", QString::number(std::lround(std::clamp(f.pointSize, 1.0, 1638.0) * 2)));
    if (f.background.isValid()) {
        empty(w, "w:shd", "w:val", QStringLiteral("clear"));
        w.writeAttribute(QStringLiteral("w:color"), QStringLiteral("auto"));
        w.writeAttribute(QStringLiteral("w:fill"), f.background.name().mid(1).toUpper());
    }
    if (f.baseline == 1)
        empty(w, "w:vertAlign", "w:val", QStringLiteral("superscript"));
    else if (f.baseline == 2)
        empty(w, "w:vertAlign", "w:val", QStringLiteral("subscript"));
    w.writeEndElement();
}

void Writer::textRun(const Run& run)
{
    w.writeStartElement(QStringLiteral("w:r"));
    runProperties(run);
    QString pending;
    auto flush = [&] {
        if (!pending.isEmpty())
            w.writeTextElement(QStringLiteral("w:t"), xmlSafe(pending));
        pending.clear();
    };
    for (QChar c : run.text) {
        if (c == QLatin1Char('\t')) {
            flush();
            empty(w, "w:tab");
        } else if (c == QChar::LineSeparator) {
            flush();
            empty(w, "w:br");
        } else {
            pending += c;
        }
    }
    flush();
    w.writeEndElement();
}

void Writer::picture(const Run& run)
{
    const Picture p = pictureOf(*run.picture);
    if (p.data.isEmpty())
        return;
    ++m_pictures;
    const QString ext = p.format().isEmpty() ? QStringLiteral("png") : p.format();
    const QString name = QStringLiteral("wordml://%1.%2").arg(m_pictures, 8, 10, QLatin1Char('0')).arg(ext);
    const QSizeF size = p.sizePt.isEmpty() ? QSizeF(72, 72) : p.sizePt;
    w.writeStartElement(QStringLiteral("w:r"));
    runProperties(run);
    w.writeStartElement(QStringLiteral("w:pict"));
    w.writeStartElement(QStringLiteral("w:binData"));
    w.writeAttribute(QStringLiteral("w:name"), name);
    w.writeCharacters(QString::fromLatin1(p.data.toBase64()));
    w.writeEndElement();
    w.writeStartElement(QStringLiteral("v:shape"));
    w.writeAttribute(QStringLiteral("id"), QStringLiteral("_x0000_i%1").arg(1024 + m_pictures));
    w.writeAttribute(QStringLiteral("type"), QStringLiteral("#_x0000_t75"));
    w.writeAttribute(QStringLiteral("style"), QStringLiteral("width:%1pt;height:%2pt").arg(size.width()).arg(size.height()));
    empty(w, "v:imagedata", "src", name);
    w.writeAttribute(QStringLiteral("o:title"), p.fileName);
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
}

void Writer::table(const WPTextModel::Table& table)
{
    const qreal width = m_attributes.paperSize.value_or(QSizeF(612, 792)).width()
                      - m_attributes.leftMargin.value_or(72) - m_attributes.rightMargin.value_or(72);
    const qreal total = std::max(72.0, std::isfinite(width) ? width : 468.0);
    const QString column = twips(total / std::max(1, table.columns));
    // Each grid column's width: the table's own when it has them.
    const QList<qreal> widths = columnWidthsPt(table, total);
    auto columnTwips = [&](int c) { return widths.isEmpty() ? column.toInt() : twips(widths.value(c)).toInt(); };
    w.writeStartElement(QStringLiteral("w:tbl"));
    w.writeStartElement(QStringLiteral("w:tblPr"));
    empty(w, "w:tblW", "w:w", QStringLiteral("0"));
    w.writeAttribute(QStringLiteral("w:type"), QStringLiteral("auto"));
    w.writeStartElement(QStringLiteral("w:tblBorders"));
    for (const char* side : {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"}) {
        empty(w, side, "w:val", QStringLiteral("single"));
        w.writeAttribute(QStringLiteral("w:sz"), QStringLiteral("4"));
        w.writeAttribute(QStringLiteral("w:space"), QStringLiteral("0"));
        w.writeAttribute(QStringLiteral("w:color"), QStringLiteral("auto"));
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeStartElement(QStringLiteral("w:tblGrid"));
    for (int c = 0; c < table.columns; ++c)
        empty(w, "w:gridCol", "w:w", QString::number(columnTwips(c)));
    w.writeEndElement();
    const QList<qsizetype> grid = table.grid();
    for (int r = 0; r < table.rows; ++r) {
        w.writeStartElement(QStringLiteral("w:tr"));
        for (int c = 0; c < table.columns; ++c) {
            // A merged cell: its grid columns in one w:tc, its rows joined
            // by w:vmerge.
            const qsizetype index = grid.at(qsizetype(r) * table.columns + c);
            const WPTextModel::TableCell* cell = index >= 0 ? &table.cells.at(index) : nullptr;
            if (cell && cell->column != c)
                continue;
            const int span = cell ? std::max(1, cell->columnSpan) : 1;
            w.writeStartElement(QStringLiteral("w:tc"));
            w.writeStartElement(QStringLiteral("w:tcPr"));
            int cellTwips = 0;
            for (int k = c; k < c + span; ++k)
                cellTwips += columnTwips(k);
            empty(w, "w:tcW", "w:w", QString::number(cellTwips));
            w.writeAttribute(QStringLiteral("w:type"), QStringLiteral("dxa"));
            if (span > 1)
                empty(w, "w:gridSpan", "w:val", QString::number(span));
            if (cell && cell->rowSpan > 1) {
                if (cell->row == r)
                    empty(w, "w:vmerge", "w:val", QStringLiteral("restart"));
                else
                    empty(w, "w:vmerge");
            }
            if (cell && cell->background.isValid()) {
                empty(w, "w:shd", "w:val", QStringLiteral("clear"));
                w.writeAttribute(QStringLiteral("w:color"), QStringLiteral("auto"));
                w.writeAttribute(QStringLiteral("w:fill"), cell->background.name().mid(1).toUpper());
            }
            w.writeEndElement();
            // A cell merged from above holds no text of its own.
            if (!cell || cell->row != r || cell->paragraphs.isEmpty()) {
                empty(w, "w:p");
            } else {
                for (const Paragraph& p : cell->paragraphs) {
                    if (p.table)
                        this->table(*p.table); // a table in the cell
                    else
                        paragraph(p);
                }
                // A cell ends with a paragraph.
                if (cell->paragraphs.last().table)
                    empty(w, "w:p");
            }
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    w.writeEndElement();
}

void Writer::section()
{
    w.writeStartElement(QStringLiteral("w:sectPr"));
    if (m_attributes.paperSize) {
        const QSizeF s = *m_attributes.paperSize;
        empty(w, "w:pgSz", "w:w", twips(s.width()));
        w.writeAttribute(QStringLiteral("w:h"), twips(s.height()));
        if (s.width() > s.height())
            w.writeAttribute(QStringLiteral("w:orient"), QStringLiteral("landscape"));
    }
    const std::pair<const char*, std::optional<qreal>> margins[] = {
        {"w:top", m_attributes.topMargin}, {"w:right", m_attributes.rightMargin},
        {"w:bottom", m_attributes.bottomMargin}, {"w:left", m_attributes.leftMargin}};
    bool any = false;
    for (const auto& [name, value] : margins)
        any = any || value.has_value();
    if (any) {
        w.writeEmptyElement(QStringLiteral("w:pgMar"));
        for (const auto& [name, value] : margins) {
            if (value)
                w.writeAttribute(QLatin1String(name), twips(*value));
        }
    }
    w.writeEndElement();
}

} // namespace

QByteArray write(const QTextDocument& text, const WPDocAttributes& attributes)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    Writer writer(text, attributes, w);
    writer.run();
    return out;
}

} // namespace WordML
