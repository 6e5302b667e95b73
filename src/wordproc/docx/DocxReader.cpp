#include "wordproc/docx/DocxReader.h"
#include "wordproc/docx/DocxParser.h"
#include "wordproc/docx/DocxNames.h"
#include "wordproc/docx/DocxPackage.h"
#include "wordproc/docx/DocxProps.h"
#include "wordproc/docx/DocxWriter.h"

#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <QXmlStreamReader>

namespace DocxReader::detail {

using Docx::isW;
using Docx::wAttr;

Run Parser::runFormat(const Docx::RunProps& props) const
{
    Run r;
    if (props.family)
        r.family = *props.family;
    else if (props.themeFont)
        r.family = m_styles.themeFamily(*props.themeFont);
    r.pointSize = props.pointSize.value_or(0);
    r.bold = props.bold.value_or(false);
    r.italic = props.italic.value_or(false);
    r.underline = props.underline.value_or(0);
    r.strike = props.strike.value_or(0);
    r.baseline = props.baseline.value_or(0);
    if (props.color && props.color->isValid())
        r.foreground = *props.color;
    if (props.highlight && props.highlight->isValid())
        r.background = *props.highlight;
    else if (props.shading && props.shading->isValid())
        r.background = *props.shading;
    return r;
}

void appendText(Paragraph& p, const Run& format, const QString& text)
{
    if (text.isEmpty())
        return;
    if (!p.runs.isEmpty() && !p.runs.last().picture && p.runs.last().sameFormat(format)) {
        p.runs.last().text += text;
        return;
    }
    Run r = format;
    r.text = text;
    p.runs.append(std::move(r));
}

// Text-box paragraphs join the paragraph they are anchored in, as lines.
void takeBoxes(Paragraph& p, const Run& format, QList<Paragraph>& boxes)
{
    for (const Paragraph& box : std::as_const(boxes)) {
        appendText(p, format, QString(QChar(0x2028)));
        for (const Run& r : box.runs) {
            if (r.picture)
                p.runs.append(r);
            else
                appendText(p, r, r.text);
        }
    }
    boxes.clear();
}

void Parser::picture(Paragraph& p, const Run& format, bool vml)
{
    // The reader stands on w:drawing or w:pict; read to its end.
    QString rid;
    QSizeF size;
    qint64 depth = 1;
    while (depth > 0 && !m_xml.atEnd()) {
        const auto token = m_xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        ++depth;
        const QXmlStreamAttributes at = m_xml.attributes();
        if (isW(m_xml, QLatin1String("txbxContent"))) {
            // A text box: its text stays in the flow where it is anchored.
            textBox(m_boxes);
            --depth;
            continue;
        }
        if (m_xml.name() == QLatin1String("graphicData")) {
            const QStringView uri = at.value(QLatin1String("uri"));
            if (uri.endsWith(QLatin1String("/chart")))
                ++m_notKept[QStringLiteral("chart")];
            else if (uri.endsWith(QLatin1String("/diagram")))
                ++m_notKept[QStringLiteral("diagram")];
        }
        if (m_xml.name() == QLatin1String("blip") && !at.value(Docx::ns::r, QLatin1String("link")).isEmpty()
            && at.value(Docx::ns::r, QLatin1String("embed")).isEmpty())
            ++m_notKept[QStringLiteral("linked picture")];
        if (!vml && m_xml.name() == QLatin1String("extent") && m_xml.namespaceUri() == Docx::ns::wp) {
            const double cx = at.value(QLatin1String("cx")).toDouble();
            const double cy = at.value(QLatin1String("cy")).toDouble();
            if (cx > 0 && cy > 0 && cx < 1e12 && cy < 1e12)
                size = QSizeF(cx / 12700.0, cy / 12700.0);
        } else if (!vml && m_xml.name() == QLatin1String("blip") && rid.isEmpty()) {
            rid = at.value(Docx::ns::r, QLatin1String("embed")).toString();
            if (rid.isEmpty())
                rid = at.value(Docx::ns::rStrict, QLatin1String("embed")).toString();
        } else if (vml && m_xml.namespaceUri() == kVml && m_xml.name() == QLatin1String("shape")) {
            static const QRegularExpression dim(QStringLiteral("(width|height)\\s*:\\s*([0-9.]+)pt"));
            auto it = dim.globalMatch(at.value(QLatin1String("style")).toString());
            qreal w = 0;
            qreal h = 0;
            while (it.hasNext()) {
                const auto m = it.next();
                (m.captured(1) == QLatin1String("width") ? w : h) = m.captured(2).toDouble();
            }
            if (w > 0 && h > 0 && w < 1e6 && h < 1e6)
                size = QSizeF(w, h);
        } else if (vml && m_xml.namespaceUri() == kVml && m_xml.name() == QLatin1String("imagedata") && rid.isEmpty()) {
            rid = at.value(Docx::ns::r, QLatin1String("id")).toString();
        }
    }
    if (rid.isEmpty() || m_pictures >= kMaxPictures)
        return;
    const auto rel = m_rels.constFind(rid);
    if (rel == m_rels.constEnd() || rel->external)
        return;
    const auto bytes = m_package.part(rel->target);
    if (!bytes)
        return;
    WPTextModel::Picture pic;
    pic.data = *bytes;
    pic.image = QImage::fromData(*bytes);
    if (pic.image.isNull())
        return;
    pic.fileName = rel->target.section(QLatin1Char('/'), -1);
    if (size.width() >= 1 && size.height() >= 1)
        pic.sizePt = size;
    Run r = format;
    r.text = QString(QChar(0xFFFC));
    r.picture = pic;
    p.runs.append(std::move(r));
    ++m_pictures;
}

void Parser::run(Paragraph& p, QList<Field>& fields, const Link& link)
{
    Docx::RunProps props = m_paraRun;
    Run format;
    bool formatted = false;
    auto current = [&]() -> const Run& {
        if (!formatted) {
            format = runFormat(props);
            const Link& l = !fields.isEmpty() && fields.last().result && fields.last().link.on ? fields.last().link : link;
            format.link = l.on;
            format.href = l.href;
            formatted = true;
        }
        return format;
    };
    auto hidden = [&] { return !fields.isEmpty() && !fields.last().result; };
    while (m_xml.readNextStartElement()) {
        if (isW(m_xml, QLatin1String("rPr"))) {
            QString charStyle;
            const Docx::RunProps direct = Docx::readRunProps(m_xml, &charStyle);
            if (!charStyle.isEmpty())
                props.overlay(m_styles.characterRun(charStyle));
            props.overlay(direct);
            formatted = false;
            continue;
        }
        if (isW(m_xml, QLatin1String("t"))) {
            const QString t = m_xml.readElementText(QXmlStreamReader::SkipChildElements);
            if (!hidden())
                appendText(p, current(), t);
            continue;
        }
        if (isW(m_xml, QLatin1String("instrText"))) {
            const QString t = m_xml.readElementText(QXmlStreamReader::SkipChildElements);
            if (!fields.isEmpty() && !fields.last().result && fields.last().instruction.size() < 4096)
                fields.last().instruction += t;
            continue;
        }
        if (isW(m_xml, QLatin1String("fldChar"))) {
            const QStringView type = wAttr(m_xml, QLatin1String("fldCharType"));
            if (type == QLatin1String("begin") && fields.size() < 16) {
                fields.append(Field{});
            } else if (type == QLatin1String("separate") && !fields.isEmpty()) {
                Field& f = fields.last();
                f.result = true;
                static const QRegularExpression hyperlink(QStringLiteral("^\\s*HYPERLINK\\s+\"([^\"]*)\""));
                const auto m = hyperlink.match(f.instruction);
                if (m.hasMatch())
                    f.link = Link{true, m.captured(1)};
            } else if (type == QLatin1String("end") && !fields.isEmpty()) {
                fields.removeLast();
            }
            formatted = false;
            m_xml.skipCurrentElement();
            continue;
        }
        if (hidden()) {
            m_xml.skipCurrentElement();
            continue;
        }
        if (isW(m_xml, QLatin1String("tab")))
            appendText(p, current(), QStringLiteral("\t"));
        else if (isW(m_xml, QLatin1String("br")) || isW(m_xml, QLatin1String("cr")))
            appendText(p, current(), QString(QChar(0x2028)));
        else if (isW(m_xml, QLatin1String("noBreakHyphen")))
            appendText(p, current(), QString(QChar(0x2011)));
        else if (isW(m_xml, QLatin1String("softHyphen")))
            appendText(p, current(), QString(QChar(0x00AD)));
        else if (isW(m_xml, QLatin1String("drawing")) || isW(m_xml, QLatin1String("pict"))) {
            picture(p, current(), isW(m_xml, QLatin1String("pict")));
            takeBoxes(p, current(), m_boxes);
            continue;
        } else if (m_xml.name() == QLatin1String("AlternateContent")) {
            alternateContent(p, fields, link, current());
            continue;
        } else if (isW(m_xml, QLatin1String("footnoteReference")) || isW(m_xml, QLatin1String("endnoteReference"))) {
            Run mark = current();
            mark.baseline = 1;
            appendText(p, mark, noteReference(isW(m_xml, QLatin1String("endnoteReference")),
                                              wAttr(m_xml, QLatin1String("id")).toString()));
        } else if (isW(m_xml, QLatin1String("footnoteRef")) || isW(m_xml, QLatin1String("endnoteRef"))) {
            Run mark = current();
            mark.baseline = 1;
            appendText(p, mark, m_noteLabel);
        } else if (isW(m_xml, QLatin1String("commentReference"))) {
            ++m_notKept[QStringLiteral("comment")];
        } else if (isW(m_xml, QLatin1String("object"))) {
            ++m_notKept[QStringLiteral("embedded object")];
        }
        m_xml.skipCurrentElement();
    }
}

void Parser::inlineElement(Paragraph& p, QList<Field>& fields, const Link& link, int depth)
{
    if (isW(m_xml, QLatin1String("r"))) {
        run(p, fields, link);
        return;
    }
    if (depth >= kMaxInlineDepth) {
        m_xml.skipCurrentElement();
        return;
    }
    if (isW(m_xml, QLatin1String("hyperlink"))) {
        Link l;
        const QString id = m_xml.attributes().value(Docx::ns::r, QLatin1String("id")).toString();
        const auto rel = m_rels.constFind(id);
        if (!id.isEmpty() && rel != m_rels.constEnd())
            l.href = rel->target;
        const QStringView anchor = wAttr(m_xml, QLatin1String("anchor"));
        if (l.href.isEmpty() && !anchor.isEmpty())
            l.href = QLatin1Char('#') + anchor.toString();
        l.on = !l.href.isEmpty();
        inlineContent(p, fields, l.on ? l : link, depth + 1);
    } else if (isW(m_xml, QLatin1String("fldSimple")) || isW(m_xml, QLatin1String("ins"))
               || isW(m_xml, QLatin1String("smartTag")) || isW(m_xml, QLatin1String("customXml"))
               || isW(m_xml, QLatin1String("sdt")) || isW(m_xml, QLatin1String("sdtContent"))
               || isW(m_xml, QLatin1String("moveTo")) || isW(m_xml, QLatin1String("bdo"))
               || isW(m_xml, QLatin1String("dir"))) {
        inlineContent(p, fields, link, depth + 1);
    } else if (m_xml.name() == QLatin1String("AlternateContent")) {
        // Markup-compatibility content: its first choice only.
        bool taken = false;
        while (m_xml.readNextStartElement()) {
            if (!taken && (m_xml.name() == QLatin1String("Choice") || m_xml.name() == QLatin1String("Fallback"))) {
                taken = true;
                inlineContent(p, fields, link, depth + 1);
            } else {
                m_xml.skipCurrentElement();
            }
        }
    } else {
        m_xml.skipCurrentElement(); // deletions, bookmarks, proofing marks, properties, …
    }
}

void Parser::inlineContent(Paragraph& p, QList<Field>& fields, const Link& link, int depth)
{
    while (m_xml.readNextStartElement())
        inlineElement(p, fields, link, depth);
}

std::optional<Paragraph> Parser::paragraph(bool* childless)
{
    Paragraph p;
    QList<Field> fields;
    Docx::ParaProps direct;
    bool any = false;
    bool propsDone = false;
    Docx::ParaProps props;
    auto finishProps = [&] {
        if (propsDone)
            return;
        propsDone = true;
        const QString style = direct.style.value_or(QString());
        props = m_styles.paragraph(style);
        m_paraRun = m_styles.paragraphRun(style);
        props.overlay(direct);
    };
    while (m_xml.readNextStartElement()) {
        any = true;
        if (isW(m_xml, QLatin1String("pPr")) && !propsDone) {
            direct = Docx::readParaProps(m_xml, nullptr, [this] {
                const Section read = section();
                if (!m_firstSection)
                    m_firstSection = read;
            });
            finishProps();
            continue;
        }
        finishProps();
        inlineElement(p, fields, Link{}, 0);
    }
    finishProps();
    if (childless)
        *childless = !any;

    WPTextModel::ParagraphStyle& s = p.style;
    s.alignment = props.alignment.value_or(Qt::AlignLeft);
    s.tabStops = props.tabs.value_or(QList<qreal>());
    qreal left = props.left.value_or(0);
    qreal first = props.firstLine.value_or(0);

    const int numId = props.numId.value_or(0);
    std::optional<Docx::Numbering::Marker> marker;
    if (numId > 0)
        marker = m_numbering.next(numId, props.ilvl.value_or(0));
    if (marker) {
        // The editor's list layout: the marker between two tabs, the text
        // from 36 points on, one step further per level.
        const qreal step = 36.0 * props.ilvl.value_or(0);
        s.listKind = marker->kind;
        left = WPText::kListHeadIndent + step;
        first = -WPText::kListHeadIndent;
        s.tabStops = {WPText::kListTab1 + step, WPText::kListTab2 + step};
        Run format = p.runs.isEmpty() ? runFormat(m_paraRun) : p.runs.first();
        format.picture.reset();
        format.text = QLatin1Char('\t') + marker->text + QLatin1Char('\t');
        p.runs.prepend(format);
    }
    s.headIndent = std::clamp<qreal>(left, -10000, 10000);
    s.firstLineHeadIndent = std::clamp<qreal>(left + first, -10000, 10000);
    if (props.lineMultiple && *props.lineMultiple != 1)
        s.lineHeightMultiple = *props.lineMultiple;
    if (!marker)
        s.listKind = WPTextModel::literalListKind(p);
    return p;
}

Section Parser::section()
{
    Section s;
    while (m_xml.readNextStartElement()) {
        if (isW(m_xml, QLatin1String("pgSz"))) {
            const auto w = Docx::twipsToPoints(wAttr(m_xml, QLatin1String("w")));
            const auto h = Docx::twipsToPoints(wAttr(m_xml, QLatin1String("h")));
            if (w && h && *w >= 36 && *h >= 36 && *w <= 14400 && *h <= 14400) {
                QSizeF size(*w, *h);
                if (wAttr(m_xml, QLatin1String("orient")) == QLatin1String("landscape") && size.width() < size.height())
                    size.transpose();
                s.paper = size;
            }
        } else if (isW(m_xml, QLatin1String("pgMar"))) {
            auto margin = [&](const char* name) -> std::optional<qreal> {
                const auto v = Docx::twipsToPoints(wAttr(m_xml, QLatin1String(name)));
                if (!v || std::abs(*v) > 7200)
                    return std::nullopt;
                return std::abs(*v); // a negative top or bottom margin lets text run into the header
            };
            s.top = margin("top");
            s.right = margin("right");
            s.bottom = margin("bottom");
            s.left = margin("left");
        } else if (isW(m_xml, QLatin1String("headerReference")) || isW(m_xml, QLatin1String("footerReference"))) {
            const QXmlStreamAttributes at = m_xml.attributes();
            const QString type = at.value(Docx::ns::w, QLatin1String("type")).toString();
            QString id = at.value(Docx::ns::r, QLatin1String("id")).toString();
            if (id.isEmpty())
                id = at.value(Docx::ns::rStrict, QLatin1String("id")).toString();
            (isW(m_xml, QLatin1String("headerReference")) ? s.headers : s.footers)
                .insert(type.isEmpty() ? QStringLiteral("default") : type, id);
        }
        m_xml.skipCurrentElement();
    }
    return s;
}

WPTextModel::Table Parser::table(int tableDepth, int depth)
{
    WPTextModel::Table t;
    int gridColumns = 0;
    int row = -1;
    QHash<int, qsizetype> mergeOrigin; // column -> cell that starts a vertical merge there
    while (m_xml.readNextStartElement()) {
        if (isW(m_xml, QLatin1String("tblGrid"))) {
            while (m_xml.readNextStartElement()) {
                if (isW(m_xml, QLatin1String("gridCol"))) {
                    ++gridColumns;
                    if (t.columnWidths.size() < kMaxTableColumns)
                        t.columnWidths.append(wAttr(m_xml, QLatin1String("w")).toDouble());
                }
                m_xml.skipCurrentElement();
            }
            continue;
        }
        if (!isW(m_xml, QLatin1String("tr")) || t.cells.size() >= kMaxTableCells || row + 1 >= kMaxTableRows) {
            m_xml.skipCurrentElement();
            continue;
        }
        ++row;
        int column = 0;
        while (m_xml.readNextStartElement()) {
            if (isW(m_xml, QLatin1String("trPr"))) {
                while (m_xml.readNextStartElement()) {
                    if (isW(m_xml, QLatin1String("gridBefore")))
                        column = std::clamp(wAttr(m_xml, QLatin1String("val")).toInt(), 0, kMaxTableColumns - 1);
                    m_xml.skipCurrentElement();
                }
                continue;
            }
            if (!isW(m_xml, QLatin1String("tc")) || column >= kMaxTableColumns || t.cells.size() >= kMaxTableCells) {
                m_xml.skipCurrentElement();
                continue;
            }
            WPTextModel::TableCell cell;
            cell.row = row;
            cell.column = column;
            std::optional<QString> vMerge;
            QList<Block> content;
            while (m_xml.readNextStartElement()) {
                if (isW(m_xml, QLatin1String("tcPr"))) {
                    while (m_xml.readNextStartElement()) {
                        if (isW(m_xml, QLatin1String("gridSpan")))
                            cell.columnSpan = std::clamp(wAttr(m_xml, QLatin1String("val")).toInt(), 1, kMaxTableColumns);
                        else if (isW(m_xml, QLatin1String("vMerge")))
                            vMerge = wAttr(m_xml, QLatin1String("val")).toString();
                        else if (isW(m_xml, QLatin1String("shd"))) {
                            if (const auto c = Docx::hexColor(wAttr(m_xml, QLatin1String("fill"))); c && c->isValid())
                                cell.background = *c;
                        }
                        m_xml.skipCurrentElement();
                    }
                    continue;
                }
                // The cell's paragraphs, nested tables among them.
                readBlock(content, tableDepth, depth + 1);
            }
            cell.columnSpan = std::min(cell.columnSpan, kMaxTableColumns - column);
            for (const Block& b : content) {
                if (b.paragraph) {
                    cell.paragraphs.append(*b.paragraph);
                } else if (b.table && tableDepth < WPTextModel::kMaxTableNesting) {
                    Paragraph holder;
                    holder.table = std::make_shared<const WPTextModel::Table>(*b.table);
                    cell.paragraphs.append(std::move(holder));
                } else if (b.table) {
                    // Deeper than the editor keeps: the text joins this cell.
                    if (tableDepth == WPTextModel::kMaxTableNesting)
                        ++m_notKept[QStringLiteral("deeply nested table")];
                    for (const WPTextModel::TableCell& inner : b.table->cells)
                        cell.paragraphs.append(WPTextModel::flattened(inner.paragraphs));
                }
            }
            const int span = cell.columnSpan;
            const bool continues = vMerge && *vMerge != QLatin1String("restart");
            if (continues && mergeOrigin.contains(column)) {
                WPTextModel::TableCell& top = t.cells[mergeOrigin.value(column)];
                top.rowSpan = row - top.row + 1;
                for (const Paragraph& p : std::as_const(cell.paragraphs)) {
                    if (!p.runs.isEmpty())
                        top.paragraphs.append(p);
                }
            } else {
                for (int c = column; c < column + span; ++c)
                    mergeOrigin.remove(c);
                if (vMerge)
                    mergeOrigin.insert(column, t.cells.size());
                t.cells.append(std::move(cell));
            }
            column += span;
        }
    }
    t.rows = std::max(1, row + 1);
    t.columns = std::clamp(gridColumns, 1, kMaxTableColumns);
    for (const WPTextModel::TableCell& c : t.cells)
        t.columns = std::max(t.columns, std::min(kMaxTableColumns, c.column + c.columnSpan));
    return t;
}

void Parser::readBlock(QList<Block>& out, int tableDepth, int depth)
{
    // The reader stands on one block-level element.
    if (isW(m_xml, QLatin1String("p"))) {
        if (++m_paragraphs > kMaxParagraphs) {
            m_xml.raiseError(QStringLiteral("too many paragraphs"));
            return;
        }
        bool childless = false;
        std::optional<Paragraph> p = paragraph(&childless);
        // Qt keeps a paragraph after every table of its own; the empty one
        // that follows a table in the file stands for it.
        const bool afterTable = !out.isEmpty() && out.last().table && !m_tookTrailer;
        if (afterTable && childless) {
            m_tookTrailer = true;
            return;
        }
        m_tookTrailer = false;
        if (p)
            out.append(Block{std::move(p), std::nullopt});
    } else if (isW(m_xml, QLatin1String("tbl"))) {
        if (tableDepth >= kMaxTableDepth || depth >= kMaxInlineDepth) {
            // Deeper than the reader goes: the table's text joins the cell
            // that holds it, paragraph by paragraph.
            flattenTable(out, depth);
            return;
        }
        m_tookTrailer = false;
        out.append(Block{std::nullopt, table(tableDepth + 1, depth + 1)});
    } else if (isW(m_xml, QLatin1String("sectPr"))) {
        m_bodySection = section();
    } else if ((isW(m_xml, QLatin1String("sdt")) || isW(m_xml, QLatin1String("sdtContent"))
                || isW(m_xml, QLatin1String("customXml")) || isW(m_xml, QLatin1String("ins")))
               && depth < kMaxInlineDepth) {
        while (m_xml.readNextStartElement())
            readBlock(out, tableDepth, depth + 1);
    } else {
        m_xml.skipCurrentElement();
    }
}

bool Parser::parse(const QByteArray& data, Document& out, QString* error)
{
    m_rels = m_package.relationships(m_mainPart);
    QString stylesPart;
    QString numberingPart;
    QString themePart;
    for (const Docx::Relationship& r : std::as_const(m_rels)) {
        if (r.external)
            continue;
        if (r.type.endsWith(QLatin1String("/styles")))
            stylesPart = r.target;
        else if (r.type.endsWith(QLatin1String("/numbering")))
            numberingPart = r.target;
        else if (r.type.endsWith(QLatin1String("/theme")))
            themePart = r.target;
    }
    if (!themePart.isEmpty()) {
        if (const auto theme = m_package.part(themePart))
            m_styles.readTheme(*theme);
    }
    if (!stylesPart.isEmpty()) {
        if (const auto styles = m_package.part(stylesPart))
            m_styles.read(*styles);
    }
    if (!numberingPart.isEmpty()) {
        if (const auto numbering = m_package.part(numberingPart))
            m_numbering.read(*numbering);
    }

    m_xml.addData(data);
    bool sawBody = false;
    while (!m_xml.atEnd()) {
        const auto token = m_xml.readNext();
        if (token == QXmlStreamReader::DTD) {
            m_xml.raiseError(QStringLiteral("document type declarations are not allowed"));
            break;
        }
        if (token == QXmlStreamReader::StartElement && isW(m_xml, QLatin1String("body"))) {
            sawBody = true;
            while (m_xml.readNextStartElement())
                readBlock(out.blocks, 0, 0);
        }
    }
    if (m_xml.hasError()) {
        if (error)
            *error = QStringLiteral("The document is damaged (%1, line %2).").arg(m_xml.errorString()).arg(m_xml.lineNumber());
        return false;
    }
    if (!sawBody) {
        if (error)
            *error = QStringLiteral("The package holds no document body.");
        return false;
    }
    appendNotes(out);
    out.attributes.notKept = m_notKept;
    // The page setup is the first section's: the one ended by a paragraph's
    // section break, else the body's own.
    const std::optional<Section> sect = m_firstSection ? m_firstSection : m_bodySection;
    if (sect) {
        // First-page and even-page headers and footers are not kept.
        DocxWriter::countVariants(m_package, m_rels, sect->headers, QStringLiteral("header"), out.attributes.notKept);
        DocxWriter::countVariants(m_package, m_rels, sect->footers, QStringLiteral("footer"), out.attributes.notKept);
        out.attributes.paperSize = sect->paper;
        out.attributes.topMargin = sect->top;
        out.attributes.rightMargin = sect->right;
        out.attributes.bottomMargin = sect->bottom;
        out.attributes.leftMargin = sect->left;
    }
    return true;
}

} // namespace DocxReader::detail

namespace DocxReader {

using detail::Parser;

std::optional<Document> parse(const QByteArray& package, QString* error)
{
    Docx::Package pkg(package);
    if (!pkg.isOpen()) {
        if (error)
            *error = QStringLiteral("The file is not a Word document: it is no ZIP package.");
        return std::nullopt;
    }
    const QString mainPart = pkg.mainDocument();
    const auto xml = pkg.part(mainPart);
    if (!xml) {
        if (error)
            *error = pkg.refusedForSize() ? Zip::tooLargeMessage()
                                          : QStringLiteral("The package holds no readable Word document.");
        return std::nullopt;
    }
    Document doc;
    Parser parser(pkg, mainPart);
    if (!parser.parse(*xml, doc, error))
        return std::nullopt;
    return doc;
}

bool read(const QByteArray& package, QTextDocument* into, WPDocAttributes* attributes, QString* error)
{
    std::optional<Document> doc = parse(package, error);
    if (!doc)
        return false;
    if (into) {
        const bool undo = into->isUndoRedoEnabled();
        into->setUndoRedoEnabled(false);
        into->clear();
        QTextCursor batch(into);
        batch.beginEditBlock();
        WPTextModel::Builder builder(into);
        for (const Block& b : std::as_const(doc->blocks)) {
            if (b.paragraph)
                builder.addParagraph(*b.paragraph);
            else if (b.table)
                builder.addTable(*b.table);
        }
        batch.endEditBlock();
        into->setUndoRedoEnabled(undo);
    }
    if (attributes) {
        attributes->notKept = doc->attributes.notKept;
        if (doc->attributes.paperSize)
            attributes->paperSize = doc->attributes.paperSize;
        for (auto [from, to] : {std::pair{&doc->attributes.topMargin, &attributes->topMargin},
                                std::pair{&doc->attributes.rightMargin, &attributes->rightMargin},
                                std::pair{&doc->attributes.bottomMargin, &attributes->bottomMargin},
                                std::pair{&doc->attributes.leftMargin, &attributes->leftMargin}}) {
            if (*from)
                *to = *from;
        }
    }
    return true;
}

} // namespace DocxReader
