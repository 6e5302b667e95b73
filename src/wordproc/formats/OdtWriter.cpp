// Writing OpenDocument Text: automatic styles for every distinct paragraph
// and run, lists as text:list, tables, pictures in Pictures/, the page
// layout with the header and footer in styles.xml and the header/footer
// templates themselves in meta.xml.
#include "wordproc/formats/Odt.h"

#include "wordproc/WPText.h"
#include "wordproc/formats/FieldCode.h"
#include "wordproc/formats/FormatSupport.h"
#include "wordproc/formats/OdtXml.h"
#include "wordproc/formats/ZipPackage.h"

#include <QHash>
#include <QSet>
#include <QTextDocument>
#include <QXmlStreamWriter>
#include <cmath>

namespace Odt {

namespace {

using namespace FormatSupport;
using WPTextModel::Paragraph;
using WPTextModel::Run;

QString pt(qreal v)
{
    if (!std::isfinite(v))
        v = 0;
    return QString::number(std::round(std::clamp(v, -kMaxLengthPt, kMaxLengthPt) * 100) / 100) + QStringLiteral("pt");
}

const char* const kRootNamespaces[][2] = {
    {"xmlns:office", "urn:oasis:names:tc:opendocument:xmlns:office:1.0"},
    {"xmlns:style", "urn:oasis:names:tc:opendocument:xmlns:style:1.0"},
    {"xmlns:text", "urn:oasis:names:tc:opendocument:xmlns:text:1.0"},
    {"xmlns:table", "urn:oasis:names:tc:opendocument:xmlns:table:1.0"},
    {"xmlns:draw", "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"},
    {"xmlns:fo", "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"},
    {"xmlns:xlink", "http://www.w3.org/1999/xlink"},
    {"xmlns:dc", "http://purl.org/dc/elements/1.1/"},
    {"xmlns:meta", "urn:oasis:names:tc:opendocument:xmlns:meta:1.0"},
    {"xmlns:svg", "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"},
};

// The XML declaration and the root's start tag with every namespace; the
// parts inside are written with these prefixes.
QByteArray rootOpen(const char* name)
{
    QByteArray out = QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<") + name;
    for (const auto& ns : kRootNamespaces)
        out += QByteArray(" ") + ns[0] + "=\"" + ns[1] + "\"";
    return out + " office:version=\"1.2\">";
}

using Props = QList<std::pair<QString, QString>>;

class Writer {
public:
    Writer(const QTextDocument& doc, const WPDocAttributes& attributes)
        : m_doc(doc)
        , m_attributes(attributes)
    {
    }
    std::optional<QByteArray> run(QString* error);

private:
    QString paragraphStyle(const WPTextModel::ParagraphStyle& f);
    QString textStyle(const Run& f);
    QString styleFor(const QString& family, const Props& props, const Props& tabs, QHash<QString, QString>& names,
                     const char* prefix);
    void writeBlocks(QXmlStreamWriter& w, const QList<Paragraph>& blocks);
    void writeParagraph(QXmlStreamWriter& w, const Paragraph& block, int skip);
    void writeTable(QXmlStreamWriter& w, const WPTextModel::Table& table);
    // The automatic style of a table cell shaded in `background`.
    QString cellStyle(const QColor& background);
    void writeText(QXmlStreamWriter& w, const QString& text, const QString& full, qsizetype& index);
    void writePicture(QXmlStreamWriter& w, const Run& run);
    QByteArray content();
    // The width between the page's margins, points.
    qreal textWidth() const
    {
        return std::max(72.0, m_attributes.paperSize.value_or(QSizeF(612, 792)).width() - m_attributes.leftMargin.value_or(72)
                                  - m_attributes.rightMargin.value_or(72));
    }
    QByteArray styles() const;
    QByteArray meta() const;
    QByteArray manifest() const;

    const QTextDocument& m_doc;
    const WPDocAttributes& m_attributes;
    QHash<QString, QString> m_paraNames, m_textNames;
    QByteArray m_styleXml; // automatic styles, in order of first use
    QList<ZipPackage::Entry> m_pictures;
    QSet<QString> m_pictureNames;
    int m_tables = 0;
    QSet<QString> m_cellStyles;
};

QString Writer::styleFor(const QString& family, const Props& props, const Props& tabs, QHash<QString, QString>& names,
                         const char* prefix)
{
    QString key;
    for (const auto& [k, v] : props)
        key += k + QLatin1Char('=') + v + QLatin1Char(';');
    for (const auto& [k, v] : tabs)
        key += QStringLiteral("tab:") + k + QLatin1Char('/') + v + QLatin1Char(';');
    const auto it = names.constFind(key);
    if (it != names.constEnd())
        return *it;
    const QString name = QLatin1String(prefix) + QString::number(names.size() + 1);
    names.insert(key, name);
    QByteArray chunk;
    QXmlStreamWriter w(&chunk);
    w.writeStartElement(QStringLiteral("style:style"));
    w.writeAttribute(QStringLiteral("style:name"), name);
    w.writeAttribute(QStringLiteral("style:family"), family);
    w.writeStartElement(family == QLatin1String("paragraph") ? QStringLiteral("style:paragraph-properties")
                                                             : QStringLiteral("style:text-properties"));
    for (const auto& [k, v] : props)
        w.writeAttribute(k, v);
    if (!tabs.isEmpty()) {
        w.writeStartElement(QStringLiteral("style:tab-stops"));
        for (const auto& [position, type] : tabs) {
            w.writeStartElement(QStringLiteral("style:tab-stop"));
            w.writeAttribute(QStringLiteral("style:position"), position);
            w.writeAttribute(QStringLiteral("style:type"), type);
            if (type == QLatin1String("char"))
                w.writeAttribute(QStringLiteral("style:char"), QStringLiteral("."));
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
    m_styleXml += chunk;
    return name;
}

QString Writer::paragraphStyle(const WPTextModel::ParagraphStyle& f)
{
    Props props;
    const Qt::Alignment a = f.alignment;
    if (a & Qt::AlignHCenter)
        props.append({QStringLiteral("fo:text-align"), QStringLiteral("center")});
    else if (a & Qt::AlignRight)
        props.append({QStringLiteral("fo:text-align"), QStringLiteral("end")});
    else if (a & Qt::AlignJustify)
        props.append({QStringLiteral("fo:text-align"), QStringLiteral("justify")});
    props.append({QStringLiteral("fo:margin-left"), pt(f.headIndent)});
    props.append({QStringLiteral("fo:margin-right"), pt(f.tailIndent)});
    props.append({QStringLiteral("fo:text-indent"), pt(f.firstLineHeadIndent - f.headIndent)});
    props.append({QStringLiteral("fo:margin-top"), pt(f.spaceBefore)});
    props.append({QStringLiteral("fo:margin-bottom"), pt(f.spaceAfter)});
    if (f.lineHeightMultiple > 0)
        props.append({QStringLiteral("fo:line-height"), QString::number(std::lround(f.lineHeightMultiple * 100)) + QLatin1Char('%')});
    Props tabs;
    for (qsizetype i = 0; i < f.tabStops.size(); ++i) {
        const int kind = f.tabKinds.value(i, QTextOption::LeftTab);
        const char* type = kind == QTextOption::RightTab    ? "right"
                         : kind == QTextOption::CenterTab   ? "center"
                         : kind == QTextOption::DelimiterTab ? "char"
                                                             : "left";
        tabs.append({pt(f.tabStops.at(i)), QLatin1String(type)});
    }
    return styleFor(QStringLiteral("paragraph"), props, tabs, m_paraNames, "P");
}

QString Writer::textStyle(const Run& f)
{
    Props props;
    if (!f.defaultFamily && !f.family.isEmpty())
        props.append({QStringLiteral("fo:font-family"), f.family});
    if (!f.defaultSize)
        props.append({QStringLiteral("fo:font-size"), pt(f.pointSize)});
    if (f.bold)
        props.append({QStringLiteral("fo:font-weight"), QStringLiteral("bold")});
    if (f.italic)
        props.append({QStringLiteral("fo:font-style"), QStringLiteral("italic")});
    const int u = f.underline;
    if (u != WPText::StyleNone) {
        props.append({QStringLiteral("style:text-underline-style"), QStringLiteral("solid")});
        props.append({QStringLiteral("style:text-underline-width"), u == WPText::StyleThick ? QStringLiteral("bold") : QStringLiteral("auto")});
        props.append({QStringLiteral("style:text-underline-color"), QStringLiteral("font-color")});
        if (u == WPText::StyleDouble)
            props.append({QStringLiteral("style:text-underline-type"), QStringLiteral("double")});
    }
    const int s = f.strike;
    if (s != WPText::StyleNone) {
        props.append({QStringLiteral("style:text-line-through-style"), QStringLiteral("solid")});
        if (s == WPText::StyleDouble)
            props.append({QStringLiteral("style:text-line-through-type"), QStringLiteral("double")});
    }
    if (f.foreground.isValid())
        props.append({QStringLiteral("fo:color"), f.foreground.name()});
    if (f.background.isValid())
        props.append({QStringLiteral("fo:background-color"), f.background.name()});
    if (f.baseline == 1)
        props.append({QStringLiteral("style:text-position"), QStringLiteral("super 58%")});
    else if (f.baseline == 2)
        props.append({QStringLiteral("style:text-position"), QStringLiteral("sub 58%")});
    if (props.isEmpty())
        return {};
    return styleFor(QStringLiteral("text"), props, {}, m_textNames, "T");
}

void Writer::writeText(QXmlStreamWriter& w, const QString& text, const QString& full, qsizetype& index)
{
    QString pending;
    auto flush = [&] {
        if (!pending.isEmpty())
            w.writeCharacters(xmlSafe(pending));
        pending.clear();
    };
    for (qsizetype k = 0; k < text.size(); ++k, ++index) {
        const QChar c = text.at(k);
        if (c == QLatin1Char('\t')) {
            flush();
            w.writeEmptyElement(QStringLiteral("text:tab"));
        } else if (c == QChar::LineSeparator) {
            flush();
            w.writeEmptyElement(QStringLiteral("text:line-break"));
        } else if (c == QLatin1Char(' ')) {
            // A space survives white-space collapsing only between two
            // other characters; every other space is written as text:s.
            const bool literal = index > 0 && full.at(index - 1) != QLatin1Char(' ') && index + 1 < full.size()
                              && full.at(index + 1) != QLatin1Char(' ');
            if (literal) {
                pending += c;
            } else {
                flush();
                w.writeEmptyElement(QStringLiteral("text:s"));
            }
        } else {
            pending += c;
        }
    }
    flush();
}

void Writer::writePicture(QXmlStreamWriter& w, const Run& run)
{
    const Picture p = pictureOf(*run.picture);
    if (p.data.isEmpty())
        return;
    QString ext = p.format();
    if (ext.isEmpty())
        ext = QStringLiteral("bin");
    QString name = QStringLiteral("Pictures/image%1.%2").arg(m_pictures.size() + 1).arg(ext);
    m_pictures.append({name, p.data, false});
    const QSizeF size = p.sizePt.isEmpty() ? QSizeF(72, 72) : p.sizePt;
    w.writeStartElement(QStringLiteral("draw:frame"));
    w.writeAttribute(QStringLiteral("draw:name"), QStringLiteral("Picture %1").arg(m_pictures.size()));
    w.writeAttribute(QStringLiteral("text:anchor-type"), QStringLiteral("as-char"));
    w.writeAttribute(QStringLiteral("svg:width"), pt(size.width()));
    w.writeAttribute(QStringLiteral("svg:height"), pt(size.height()));
    w.writeEmptyElement(QStringLiteral("draw:image"));
    w.writeAttribute(QStringLiteral("xlink:href"), name);
    w.writeAttribute(QStringLiteral("xlink:type"), QStringLiteral("simple"));
    w.writeAttribute(QStringLiteral("xlink:show"), QStringLiteral("embed"));
    w.writeAttribute(QStringLiteral("xlink:actuate"), QStringLiteral("onLoad"));
    w.writeEndElement();
}

void Writer::writeParagraph(QXmlStreamWriter& w, const Paragraph& block, int skip)
{
    w.writeStartElement(QStringLiteral("text:p"));
    w.writeAttribute(QStringLiteral("text:style-name"), paragraphStyle(block.style));
    QList<Run> list = writtenRuns(block);
    // The list marker is the list's own in ODF: leave out the literal one.
    takeLeading(list, skip);
    QString full;
    for (const Run& s : std::as_const(list))
        full += s.text;
    qsizetype index = 0;
    QString openLink; // the target of the text:a the runs are in
    for (const Run& s : std::as_const(list)) {
        const QString href = s.link ? s.href : QString();
        if (href != openLink) {
            if (!openLink.isEmpty())
                w.writeEndElement();
            if (!href.isEmpty()) {
                w.writeStartElement(QStringLiteral("text:a"));
                w.writeAttribute(QStringLiteral("xlink:type"), QStringLiteral("simple"));
                w.writeAttribute(QStringLiteral("xlink:href"), xmlSafe(href));
            }
            openLink = href;
        }
        if (s.picture) {
            writePicture(w, s);
            ++index;
            continue;
        }
        const QString style = textStyle(s);
        if (!style.isEmpty()) {
            w.writeStartElement(QStringLiteral("text:span"));
            w.writeAttribute(QStringLiteral("text:style-name"), style);
        }
        writeText(w, s.text, full, index);
        if (!style.isEmpty())
            w.writeEndElement();
    }
    if (!openLink.isEmpty())
        w.writeEndElement();
    w.writeEndElement();
}

void Writer::writeBlocks(QXmlStreamWriter& w, const QList<Paragraph>& blocks)
{
    auto listKind = [](const Paragraph& p) {
        const int kind = p.style.listKind;
        return kind == WPText::ListBullet || kind == WPText::ListNumber ? kind : int(WPText::ListNone);
    };
    for (qsizetype i = 0; i < blocks.size();) {
        if (blocks[i].table) {
            writeTable(w, *blocks[i].table); // a table in a cell
            ++i;
            continue;
        }
        const int kind = listKind(blocks[i]);
        if (kind == WPText::ListNone) {
            writeParagraph(w, blocks[i], 0);
            ++i;
            continue;
        }
        w.writeStartElement(QStringLiteral("text:list"));
        w.writeAttribute(QStringLiteral("text:style-name"), kind == WPText::ListBullet ? QStringLiteral("L1") : QStringLiteral("L2"));
        for (; i < blocks.size() && !blocks[i].table && listKind(blocks[i]) == kind; ++i) {
            w.writeStartElement(QStringLiteral("text:list-item"));
            writeParagraph(w, blocks[i], markerLength(blocks[i].text()));
            w.writeEndElement();
        }
        w.writeEndElement();
    }
}

QString Writer::cellStyle(const QColor& background)
{
    const QString name = QStringLiteral("TblCell") + background.name().mid(1).toUpper();
    if (m_cellStyles.contains(name))
        return name;
    m_cellStyles.insert(name);
    m_styleXml += "<style:style style:name=\"" + name.toUtf8()
                + "\" style:family=\"table-cell\"><style:table-cell-properties fo:padding=\"4pt\" "
                  "fo:border=\"0.5pt solid #000000\" fo:background-color=\""
                + background.name().toUtf8() + "\"/></style:style>";
    return name;
}

void Writer::writeTable(QXmlStreamWriter& w, const WPTextModel::Table& table)
{
    ++m_tables;
    w.writeStartElement(QStringLiteral("table:table"));
    w.writeAttribute(QStringLiteral("table:name"), QStringLiteral("Table%1").arg(m_tables));
    w.writeAttribute(QStringLiteral("table:style-name"), QStringLiteral("Tbl"));
    // Every column with its width (equal ones when the table has none), so
    // that the table keeps its width in any reader.
    QList<qreal> widths = columnWidthsPt(table, textWidth());
    if (widths.isEmpty())
        widths = QList<qreal>(std::max(1, table.columns), textWidth() / std::max(1, table.columns));
    for (qsizetype c = 0; c < widths.size(); ++c) {
        const QString name = QStringLiteral("Tbl%1.C%2").arg(m_tables).arg(c + 1);
        QByteArray chunk;
        QXmlStreamWriter style(&chunk);
        style.writeStartElement(QStringLiteral("style:style"));
        style.writeAttribute(QStringLiteral("style:name"), name);
        style.writeAttribute(QStringLiteral("style:family"), QStringLiteral("table-column"));
        style.writeEmptyElement(QStringLiteral("style:table-column-properties"));
        style.writeAttribute(QStringLiteral("style:column-width"), pt(widths.at(c)));
        style.writeAttribute(QStringLiteral("style:rel-column-width"), QString::number(std::lround(widths.at(c) * 20)) + QLatin1Char('*'));
        style.writeEndElement();
        m_styleXml += chunk;
        w.writeEmptyElement(QStringLiteral("table:table-column"));
        w.writeAttribute(QStringLiteral("table:style-name"), name);
    }
    const QList<qsizetype> grid = table.grid();
    for (int r = 0; r < table.rows; ++r) {
        w.writeStartElement(QStringLiteral("table:table-row"));
        for (int c = 0; c < table.columns; ++c) {
            const qsizetype index = grid.at(qsizetype(r) * table.columns + c);
            const WPTextModel::TableCell* cell = index >= 0 ? &table.cells.at(index) : nullptr;
            if (cell && (cell->row != r || cell->column != c)) {
                w.writeEmptyElement(QStringLiteral("table:covered-table-cell")); // under a merged cell
                continue;
            }
            w.writeStartElement(QStringLiteral("table:table-cell"));
            w.writeAttribute(QStringLiteral("table:style-name"),
                             cell && cell->background.isValid() ? cellStyle(cell->background) : QStringLiteral("TblCell"));
            if (cell && cell->columnSpan > 1)
                w.writeAttribute(QStringLiteral("table:number-columns-spanned"), QString::number(cell->columnSpan));
            if (cell && cell->rowSpan > 1)
                w.writeAttribute(QStringLiteral("table:number-rows-spanned"), QString::number(cell->rowSpan));
            w.writeAttribute(QStringLiteral("office:value-type"), QStringLiteral("string"));
            if (!cell || cell->paragraphs.isEmpty())
                w.writeEmptyElement(QStringLiteral("text:p"));
            else
                writeBlocks(w, cell->paragraphs);
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    w.writeEndElement();
}

QByteArray Writer::content()
{
    QByteArray body;
    {
        QXmlStreamWriter w(&body);
        QList<Paragraph> run;
        for (WPTextModel::Part& part : WPTextModel::parts(m_doc)) {
            if (Paragraph* p = std::get_if<Paragraph>(&part)) {
                run.append(std::move(*p));
                continue;
            }
            writeBlocks(w, run);
            run.clear();
            writeTable(w, std::get<WPTextModel::Table>(part));
        }
        writeBlocks(w, run);
    }
    QByteArray out = rootOpen("office:document-content") + "<office:automatic-styles>";
    out += m_styleXml;
    // The two lists and the table look.
    out += "<style:style style:name=\"Tbl\" style:family=\"table\"><style:table-properties style:width=\""
         + pt(textWidth()).toUtf8()
         + "\" table:align=\"margins\"/></style:style>"
           "<style:style style:name=\"TblCell\" style:family=\"table-cell\"><style:table-cell-properties "
           "fo:padding=\"4pt\" fo:border=\"0.5pt solid #000000\"/></style:style>"
           "<text:list-style style:name=\"L1\"><text:list-level-style-bullet text:level=\"1\" text:bullet-char=\""
           "\xE2\x80\xA2\"><style:list-level-properties text:list-level-position-and-space-mode=\"label-alignment\">"
           "<style:list-level-label-alignment text:label-followed-by=\"listtab\" text:list-tab-stop-position=\"36pt\" "
           "fo:text-indent=\"-25pt\" fo:margin-left=\"36pt\"/></style:list-level-properties>"
           "</text:list-level-style-bullet></text:list-style>"
           "<text:list-style style:name=\"L2\"><text:list-level-style-number text:level=\"1\" style:num-suffix=\".\" "
           "style:num-format=\"1\"><style:list-level-properties text:list-level-position-and-space-mode=\"label-alignment\">"
           "<style:list-level-label-alignment text:label-followed-by=\"listtab\" text:list-tab-stop-position=\"36pt\" "
           "fo:text-indent=\"-25pt\" fo:margin-left=\"36pt\"/></style:list-level-properties>"
           "</text:list-level-style-number></text:list-style>";
    out += "</office:automatic-styles><office:body><office:text>";
    out += body;
    out += "</office:text></office:body></office:document-content>\n";
    return out;
}

QByteArray Writer::styles() const
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartElement(QStringLiteral("office:automatic-styles"));
    w.writeStartElement(QStringLiteral("style:page-layout"));
    w.writeAttribute(QStringLiteral("style:name"), QStringLiteral("pm1"));
    w.writeEmptyElement(QStringLiteral("style:page-layout-properties"));
    if (m_attributes.paperSize) {
        const QSizeF s = *m_attributes.paperSize;
        w.writeAttribute(QStringLiteral("fo:page-width"), pt(s.width()));
        w.writeAttribute(QStringLiteral("fo:page-height"), pt(s.height()));
        w.writeAttribute(QStringLiteral("style:print-orientation"),
                         s.width() > s.height() ? QStringLiteral("landscape") : QStringLiteral("portrait"));
    }
    const std::pair<const char*, std::optional<qreal>> margins[] = {
        {"fo:margin-top", m_attributes.topMargin}, {"fo:margin-bottom", m_attributes.bottomMargin},
        {"fo:margin-left", m_attributes.leftMargin}, {"fo:margin-right", m_attributes.rightMargin}};
    for (const auto& [name, value] : margins) {
        if (value)
            w.writeAttribute(QLatin1String(name), pt(*value));
    }
    w.writeEndElement(); // page-layout
    // Header and footer as other programs show them: one centred paragraph
    // of small grey text, page numbers as fields.
    w.writeStartElement(QStringLiteral("style:style"));
    w.writeAttribute(QStringLiteral("style:name"), QStringLiteral("HF"));
    w.writeAttribute(QStringLiteral("style:family"), QStringLiteral("paragraph"));
    w.writeEmptyElement(QStringLiteral("style:paragraph-properties"));
    w.writeAttribute(QStringLiteral("fo:text-align"), QStringLiteral("center"));
    w.writeEmptyElement(QStringLiteral("style:text-properties"));
    w.writeAttribute(QStringLiteral("fo:font-size"), QStringLiteral("9pt"));
    w.writeAttribute(QStringLiteral("fo:color"), QStringLiteral("#595959"));
    w.writeEndElement();
    w.writeEndElement(); // automatic-styles
    w.writeStartElement(QStringLiteral("office:master-styles"));
    w.writeStartElement(QStringLiteral("style:master-page"));
    w.writeAttribute(QStringLiteral("style:name"), QStringLiteral("Standard"));
    w.writeAttribute(QStringLiteral("style:page-layout-name"), QStringLiteral("pm1"));
    if (const auto hf = m_attributes.comment ? WPHeaderFooter::decode(*m_attributes.comment) : std::nullopt) {
        for (const auto& [element, text] : {std::pair{"style:header", hf->first}, std::pair{"style:footer", hf->second}}) {
            const QList<FieldCode::Piece> pieces = FieldCode::templatePieces(text);
            if (pieces.isEmpty())
                continue;
            w.writeStartElement(QLatin1String(element));
            w.writeStartElement(QStringLiteral("text:p"));
            w.writeAttribute(QStringLiteral("text:style-name"), QStringLiteral("HF"));
            for (const FieldCode::Piece& piece : pieces) {
                if (piece.kind == FieldCode::Piece::Text) {
                    w.writeCharacters(xmlSafe(piece.text));
                } else {
                    w.writeStartElement(piece.kind == FieldCode::Piece::Page ? QStringLiteral("text:page-number")
                                                                             : QStringLiteral("text:page-count"));
                    if (piece.kind == FieldCode::Piece::Page)
                        w.writeAttribute(QStringLiteral("text:select-page"), QStringLiteral("current"));
                    w.writeCharacters(QStringLiteral("1"));
                    w.writeEndElement();
                }
            }
            w.writeEndElement();
            w.writeEndElement();
        }
    }
    w.writeEndElement(); // master-page
    w.writeEndElement(); // master-styles
    return rootOpen("office:document-styles") + out + "</office:document-styles>\n";
}

QByteArray Writer::meta() const
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartElement(QStringLiteral("office:meta"));
    w.writeTextElement(QStringLiteral("meta:generator"), QStringLiteral("Brindleworks"));
    if (m_attributes.comment) {
        // XML cannot hold U+001F: the templates go to two properties of
        // their own; any other comment is the description.
        if (const auto hf = WPHeaderFooter::decode(*m_attributes.comment)) {
            for (const auto& [name, value] : {std::pair{Ns::headerProperty, hf->first}, std::pair{Ns::footerProperty, hf->second}}) {
                w.writeStartElement(QStringLiteral("meta:user-defined"));
                w.writeAttribute(QStringLiteral("meta:name"), name);
                w.writeAttribute(QStringLiteral("meta:value-type"), QStringLiteral("string"));
                w.writeCharacters(xmlSafe(value));
                w.writeEndElement();
            }
        } else {
            w.writeTextElement(QStringLiteral("dc:description"), xmlSafe(*m_attributes.comment));
        }
    }
    w.writeEndElement();
    return rootOpen("office:document-meta") + out + "</office:document-meta>\n";
}

QByteArray Writer::manifest() const
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("manifest:manifest"));
    w.writeAttribute(QStringLiteral("xmlns:manifest"), Ns::manifest);
    w.writeAttribute(QStringLiteral("manifest:version"), QStringLiteral("1.2"));
    auto entry = [&w](const QString& path, const QString& type) {
        w.writeEmptyElement(QStringLiteral("manifest:file-entry"));
        w.writeAttribute(QStringLiteral("manifest:full-path"), path);
        if (path == QLatin1String("/"))
            w.writeAttribute(QStringLiteral("manifest:version"), QStringLiteral("1.2"));
        w.writeAttribute(QStringLiteral("manifest:media-type"), type);
    };
    entry(QStringLiteral("/"), Ns::mimeType);
    for (const char* part : {"content.xml", "styles.xml", "meta.xml"})
        entry(QLatin1String(part), QStringLiteral("text/xml"));
    for (const ZipPackage::Entry& p : m_pictures) {
        const QString ext = p.name.section(QLatin1Char('.'), -1);
        entry(p.name, QStringLiteral("image/") + ext);
    }
    w.writeEndDocument();
    return out;
}

std::optional<QByteArray> Writer::run(QString* error)
{
    const QByteArray contentXml = content();
    QList<ZipPackage::Entry> entries;
    entries.append({QStringLiteral("mimetype"), QByteArray(Ns::mimeType.data(), Ns::mimeType.size()), false});
    entries.append({QStringLiteral("content.xml"), contentXml, true});
    entries.append({QStringLiteral("styles.xml"), styles(), true});
    entries.append({QStringLiteral("meta.xml"), meta(), true});
    entries.append(m_pictures);
    entries.append({QStringLiteral("META-INF/manifest.xml"), manifest(), true});
    return ZipPackage::write(entries, error);
}

} // namespace

std::optional<QByteArray> write(const QTextDocument& text, const WPDocAttributes& attributes, QString* error)
{
    Writer writer(text, attributes);
    return writer.run(error);
}

} // namespace Odt
