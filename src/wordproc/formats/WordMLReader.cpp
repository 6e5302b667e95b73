// Reading Word 2003 XML: styles with their bases, lists, paragraphs, runs,
// tables, base64 pictures, the last section's page setup and the
// document's description and custom properties.
#include "wordproc/formats/WordML.h"
#include "wordproc/formats/WordMLReader.h"

#include "wordproc/WPText.h"
#include "wordproc/formats/FormatSupport.h"

#include <QColor>
#include <QHash>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <memory>
#include <QXmlStreamReader>

namespace WordML::detail {

using namespace FormatSupport;

qreal twipsAttr(const QXmlStreamAttributes& a, const char* name, qreal fallback)
{
    bool ok = false;
    const double v = a.value(kW, QLatin1String(name)).toDouble(&ok);
    return ok && std::isfinite(v) ? std::clamp(v / 20.0, -kMaxLengthPt, kMaxLengthPt) : fallback;
}

namespace {

bool onOff(const QXmlStreamAttributes& a)
{
    const QStringView v = a.value(kW, QLatin1String("val"));
    return v.isEmpty() || (v != QLatin1String("off") && v != QLatin1String("0") && v != QLatin1String("false"));
}

} // namespace

bool Reader::run(const QByteArray& data, QString* error)
{
    QXmlStreamReader x(data);
    m_x = &x;
    bool rootSeen = false;
    while (!x.atEnd()) {
        const QXmlStreamReader::TokenType t = x.readNext();
        if (t == QXmlStreamReader::DTD) {
            x.raiseError(QStringLiteral("Document type declarations are not read."));
            break;
        }
        if (t != QXmlStreamReader::StartElement)
            continue;
        if (x.namespaceUri() != kW || x.name() != QLatin1String("wordDocument")) {
            x.raiseError(QStringLiteral("Not a Word XML document."));
            break;
        }
        rootSeen = true;
        while (x.readNextStartElement()) {
            const QStringView name = x.name();
            if (x.namespaceUri() == kO && name == QLatin1String("DocumentProperties"))
                readDocumentProperties(false);
            else if (x.namespaceUri() == kO && name == QLatin1String("CustomDocumentProperties"))
                readDocumentProperties(true);
            else if (name == QLatin1String("lists"))
                readLists();
            else if (name == QLatin1String("styles"))
                readStyles();
            else if (name == QLatin1String("body"))
                readBlocks();
            else
                skip();
        }
        break;
    }
    if (x.hasError() || !rootSeen) {
        if (error)
            *error = QStringLiteral("The Word XML document is damaged (%1).").arg(x.hasError() ? x.errorString() : QStringLiteral("no document"));
        return false;
    }
    m_builder.finish(QTextBlockFormat());
    if (m_haveHeaderFooter) {
        m_attributes->comment = WPHeaderFooter::encode(m_header, m_footer);
    } else {
        WPHeaderFooter::countVariants(m_attributes->notKept, QStringLiteral("header"), m_otherHeader[0], m_otherHeader[1], m_otherHeader[2]);
        WPHeaderFooter::countVariants(m_attributes->notKept, QStringLiteral("footer"), m_otherFooter[0], m_otherFooter[1], m_otherFooter[2]);
        const QString header = m_otherHeader[0].isEmpty() ? m_otherHeader[1] : m_otherHeader[0];
        const QString footer = m_otherFooter[0].isEmpty() ? m_otherFooter[1] : m_otherFooter[0];
        if (const auto record = WPHeaderFooter::encode(WPHeaderFooter::sanitize(header), WPHeaderFooter::sanitize(footer)))
            m_attributes->comment = *record;
    }
    appendNotes(m_document, m_notes);
    return true;
}

void Reader::readDocumentProperties(bool custom)
{
    while (m_x->readNextStartElement()) {
        const QString name = m_x->name().toString();
        const QString value = m_x->readElementText(QXmlStreamReader::SkipChildElements);
        if (!custom && name == QLatin1String("Description") && !m_haveHeaderFooter) {
            m_attributes->comment = value;
        } else if (custom && (name == QLatin1String("VEXO-HF-Header") || name == QLatin1String("VEXO-HF-Footer"))) {
            (name.endsWith(QLatin1String("Header")) ? m_header : m_footer) = WPHeaderFooter::sanitize(value);
            m_haveHeaderFooter = true;
        }
    }
}

void Reader::readLists()
{
    while (m_x->readNextStartElement()) {
        const QXmlStreamAttributes a = m_x->attributes();
        if (m_x->name() == QLatin1String("listDef")) {
            // Each level's number format and first number.
            const int id = a.value(kW, QLatin1String("listDefId")).toInt();
            while (m_x->readNextStartElement()) {
                const int level = m_x->attributes().value(kW, QLatin1String("ilvl")).toInt();
                if (m_x->name() == QLatin1String("lvl") && level >= 0 && level < 9) {
                    int nfc = 0;
                    int start = 1;
                    while (m_x->readNextStartElement()) {
                        const int value = m_x->attributes().value(kW, QLatin1String("val")).toInt();
                        if (m_x->name() == QLatin1String("nfc"))
                            nfc = value;
                        else if (m_x->name() == QLatin1String("start"))
                            start = std::clamp(value, 0, 1'000'000);
                        skip();
                    }
                    m_listDefNfc.insert(qint64(id) * 256 + level, nfc);
                    m_listDefStart.insert(qint64(id) * 256 + level, start);
                } else {
                    skip();
                }
            }
        } else if (m_x->name() == QLatin1String("list")) {
            const int ilfo = a.value(kW, QLatin1String("ilfo")).toInt();
            while (m_x->readNextStartElement()) {
                if (m_x->name() == QLatin1String("ilst"))
                    m_ilfoDef.insert(ilfo, m_x->attributes().value(kW, QLatin1String("val")).toInt());
                skip();
            }
        } else {
            skip();
        }
    }
}

void Reader::readStyles()
{
    while (m_x->readNextStartElement()) {
        if (m_x->name() != QLatin1String("style")) {
            skip();
            continue;
        }
        const QXmlStreamAttributes a = m_x->attributes();
        const QString id = a.value(kW, QLatin1String("styleId")).toString();
        const bool paragraphStyle = a.value(kW, QLatin1String("type")) == QLatin1String("paragraph");
        if (paragraphStyle && (a.value(kW, QLatin1String("default")) == QLatin1String("on")))
            m_defaultParaStyle = id;
        StyleDef def;
        while (m_x->readNextStartElement()) {
            if (m_x->name() == QLatin1String("basedOn")) {
                def.basedOn = m_x->attributes().value(kW, QLatin1String("val")).toString();
                skip();
            } else if (m_x->name() == QLatin1String("pPr")) {
                readParagraphProps(def.para);
            } else if (m_x->name() == QLatin1String("rPr")) {
                readRunProps(def.chars);
            } else {
                skip();
            }
        }
        m_styles.insert(id, def);
    }
}

QTextCharFormat Reader::styleChars(const QString& id, int depth) const
{
    const auto it = m_styles.constFind(id);
    if (it == m_styles.constEnd() || depth > 16)
        return {};
    QTextCharFormat f = styleChars(it->basedOn, depth + 1);
    f.merge(it->chars);
    return f;
}

ParaProps Reader::stylePara(const QString& id, int depth) const
{
    const auto it = m_styles.constFind(id);
    if (it == m_styles.constEnd() || depth > 16)
        return {};
    ParaProps p = stylePara(it->basedOn, depth + 1);
    const ParaProps& own = it->para;
    p.format.merge(own.format);
    if (own.hasIndent) {
        p.hasIndent = true;
        p.head = own.head, p.first = own.first, p.tail = own.tail;
    }
    if (own.hasSpacing) {
        p.hasSpacing = true;
        p.before = own.before, p.after = own.after, p.multiple = own.multiple;
    }
    if (own.hasTabs) {
        p.hasTabs = true;
        p.tabs = own.tabs;
    }
    if (own.ilfo >= 0)
        p.ilfo = own.ilfo;
    if (own.ilvl >= 0)
        p.ilvl = own.ilvl;
    return p;
}

void Reader::readBlocks()
{
    if (!enter())
        return;
    while (m_x->readNextStartElement()) {
        const QStringView name = m_x->name();
        if (name == QLatin1String("p"))
            readParagraph();
        else if (name == QLatin1String("tbl"))
            readTable();
        else if (name == QLatin1String("sectPr"))
            readSection();
        else if (name == QLatin1String("sect") || name == QLatin1String("sub-section"))
            readBlocks();
        else if (name == QLatin1String("tcPr") && out().depth() == m_tableDepth)
            readCellProps();
        else
            skip();
    }
    leave();
}

void Reader::readParagraphProps(ParaProps& p)
{
    while (m_x->readNextStartElement()) {
        const QXmlStreamAttributes a = m_x->attributes();
        const QStringView name = m_x->name();
        if (name == QLatin1String("pStyle")) {
            p.style = a.value(kW, QLatin1String("val")).toString();
        } else if (name == QLatin1String("jc")) {
            const QStringView v = a.value(kW, QLatin1String("val"));
            p.format.setAlignment(v == QLatin1String("center") ? Qt::AlignHCenter
                                  : v == QLatin1String("right") ? Qt::AlignRight
                                  : v == QLatin1String("both") || v == QLatin1String("distribute") ? Qt::AlignJustify
                                                                                                   : Qt::AlignLeft);
        } else if (name == QLatin1String("ind")) {
            p.hasIndent = true;
            p.head = twipsAttr(a, "left");
            p.tail = twipsAttr(a, "right");
            p.first = p.head + twipsAttr(a, "first-line") - twipsAttr(a, "hanging");
        } else if (name == QLatin1String("spacing")) {
            p.hasSpacing = true;
            p.before = twipsAttr(a, "before");
            p.after = twipsAttr(a, "after");
            const QStringView rule = a.value(kW, QLatin1String("line-rule"));
            if ((rule.isEmpty() || rule == QLatin1String("auto")) && !a.value(kW, QLatin1String("line")).isEmpty())
                p.multiple = a.value(kW, QLatin1String("line")).toDouble() / 240.0;
        } else if (name == QLatin1String("sectPr")) {
            // A section break: the page setup is the first section's.
            readSection();
            continue;
        } else if (name == QLatin1String("tabs")) {
            p.hasTabs = true;
            while (m_x->readNextStartElement()) {
                const QXmlStreamAttributes ta = m_x->attributes();
                const QStringView v = ta.value(kW, QLatin1String("val"));
                const int type = v == QLatin1String("right")    ? QTextOption::RightTab
                               : v == QLatin1String("center") ? QTextOption::CenterTab
                               : v == QLatin1String("decimal") ? QTextOption::DelimiterTab
                                                               : QTextOption::LeftTab;
                if (v != QLatin1String("clear") && p.tabs.size() < 64)
                    p.tabs.append({twipsAttr(ta, "pos"), type});
                skip();
            }
            continue;
        } else if (name == QLatin1String("listPr")) {
            while (m_x->readNextStartElement()) {
                if (m_x->name() == QLatin1String("ilfo"))
                    p.ilfo = m_x->attributes().value(kW, QLatin1String("val")).toInt();
                else if (m_x->name() == QLatin1String("ilvl"))
                    p.ilvl = std::clamp(m_x->attributes().value(kW, QLatin1String("val")).toInt(), 0, 8);
                else if (m_x->namespaceUri() == kWx && m_x->name() == QLatin1String("t"))
                    p.marker = m_x->attributes().value(kWx, QLatin1String("val")).toString().left(10);
                skip();
            }
            continue;
        }
        skip();
    }
}

void Reader::readRunProps(QTextCharFormat& f)
{
    while (m_x->readNextStartElement()) {
        const QXmlStreamAttributes a = m_x->attributes();
        const QStringView name = m_x->name();
        const QString val = a.value(kW, QLatin1String("val")).toString();
        if (name == QLatin1String("rFonts")) {
            const QString family = a.value(kW, QLatin1String("ascii")).toString();
            if (!family.isEmpty())
                setFontFamily(f, family);
        } else if (name == QLatin1String("b")) {
            f.setFontWeight(onOff(a) ? QFont::Bold : QFont::Normal);
        } else if (name == QLatin1String("i")) {
            f.setFontItalic(onOff(a));
        } else if (name == QLatin1String("u")) {
            setUnderlineStyle(f, val == QLatin1String("none") ? WPText::StyleNone
                                 : val == QLatin1String("double") ? WPText::StyleDouble
                                 : val == QLatin1String("thick") ? WPText::StyleThick
                                                                 : WPText::StyleSingle);
        } else if (name == QLatin1String("strike")) {
            setStrikeStyle(f, onOff(a) ? WPText::StyleSingle : WPText::StyleNone);
        } else if (name == QLatin1String("dstrike")) {
            setStrikeStyle(f, onOff(a) ? WPText::StyleDouble : WPText::StyleNone);
        } else if (name == QLatin1String("sz")) {
            const int half = val.toInt();
            if (half > 0)
                f.setFontPointSize(std::min(half, 3276) / 2.0);
        } else if (name == QLatin1String("color")) {
            const QColor c(QLatin1Char('#') + val);
            if (c.isValid() && val != QLatin1String("auto"))
                f.setForeground(c);
        } else if (name == QLatin1String("shd")) {
            const QString fill = a.value(kW, QLatin1String("fill")).toString();
            const QColor c(QLatin1Char('#') + fill);
            if (c.isValid() && fill != QLatin1String("auto"))
                f.setBackground(c);
        } else if (name == QLatin1String("highlight")) {
            const QColor c(val == QLatin1String("darkYellow") ? QStringLiteral("olive") : val);
            if (c.isValid() && val != QLatin1String("none"))
                f.setBackground(c);
        } else if (name == QLatin1String("vertAlign")) {
            f.setVerticalAlignment(val == QLatin1String("superscript") ? QTextCharFormat::AlignSuperScript
                                   : val == QLatin1String("subscript") ? QTextCharFormat::AlignSubScript
                                                                       : QTextCharFormat::AlignNormal);
        }
        skip();
    }
}

void Reader::readParagraph()
{
    if (!enter())
        return;
    // The properties come first when present; anything else is content.
    ParaProps direct;
    bool content = m_x->readNextStartElement();
    if (content && m_x->name() == QLatin1String("pPr")) {
        readParagraphProps(direct);
        content = m_x->readNextStartElement();
    }
    // Style, then direct formatting.
    const QString styleId = direct.style.isEmpty() ? m_defaultParaStyle : direct.style;
    ParaProps p = stylePara(styleId);
    p.format.merge(direct.format);
    if (direct.hasIndent)
        p.hasIndent = true, p.head = direct.head, p.first = direct.first, p.tail = direct.tail;
    if (direct.hasSpacing)
        p.hasSpacing = true, p.before = direct.before, p.after = direct.after, p.multiple = direct.multiple;
    if (direct.hasTabs)
        p.hasTabs = true, p.tabs = direct.tabs;
    if (direct.ilfo >= 0)
        p.ilfo = direct.ilfo;
    if (direct.ilvl >= 0)
        p.ilvl = direct.ilvl;
    const QTextCharFormat base = styleChars(styleId);

    QTextBlockFormat block = p.format;
    setIndents(block, p.head, p.first, p.tail);
    setSpacing(block, p.before, p.after);
    setLineMultiple(block, p.multiple);
    setTabStops(block, p.tabs);
    if (p.ilfo > 0) {
        const int level = std::max(0, p.ilvl);
        const auto found = m_ilfoDef.constFind(p.ilfo);
        const qint64 def = found == m_ilfoDef.constEnd() ? -1 : qint64(*found) * 256 + level;
        const int nfc = m_listDefNfc.value(def, 23);
        const int kind = nfc == 23 || nfc == 255 ? WPText::ListBullet : WPText::ListNumber;
        // Numbers count per level; an item of an outer level starts the
        // inner levels again.
        for (int l = level + 1; l < 9; ++l)
            m_counters.remove(qint64(p.ilfo) * 16 + l);
        const qint64 key = qint64(p.ilfo) * 16 + level;
        if (!m_counters.contains(key))
            m_counters.insert(key, m_listDefStart.value(def, 1) - 1);
        const int number = ++m_counters[key];
        block.setProperty(WPText::ListKind, kind);
        m_marker = direct.marker.isEmpty() ? markerFor(kind, number)
                                           : QLatin1Char('\t') + direct.marker + QLatin1Char('\t');
        if (!p.hasIndent)
            setIndents(block, WPText::kListHeadIndent, WPText::kListHeadIndent, 0);
        if (!p.hasTabs)
            setTabStops(block, {{WPText::kListTab1, 0}, {WPText::kListTab2, 0}});
    }
    if (content) {
        readInlineElement(base);
        while (m_x->readNextStartElement())
            readInlineElement(base);
    }
    if (!m_marker.isEmpty())
        out().text(m_marker, base);
    m_marker.clear();
    out().endParagraph(block);
    leave();
}

void Reader::readInlineElement(const QTextCharFormat& base)
{
    const QStringView name = m_x->name();
    if (name == QLatin1String("r")) {
        readRun(base);
    } else if (name == QLatin1String("hlink") || name == QLatin1String("fldSimple") || name == QLatin1String("smartTag")
               || name == QLatin1String("ins")) {
        QTextCharFormat inner = base;
        if (name == QLatin1String("hlink") && !base.isAnchor()) {
            // A link: to an address, a place in the document, or both.
            const QXmlStreamAttributes a = m_x->attributes();
            QString href = a.value(kW, QLatin1String("dest")).toString().trimmed();
            if (const QString place = a.value(kW, QLatin1String("bookmark")).toString().trimmed(); !place.isEmpty())
                href += QLatin1Char('#') + place;
            if (!href.isEmpty()) {
                inner.setAnchor(true);
                inner.setAnchorHref(href);
            }
        }
        if (!enter())
            return;
        while (m_x->readNextStartElement())
            readInlineElement(inner);
        leave();
    } else {
        if (name == QLatin1String("annotation") && m_x->attributes().value(kW, QLatin1String("type")) == QLatin1String("Word.Comment"))
            ++m_attributes->notKept[QStringLiteral("comment")];
        skip();
    }
}

void Reader::emitText(const QString& text, const QTextCharFormat& f)
{
    if (!m_marker.isEmpty())
        out().text(m_marker, f);
    m_marker.clear();
    out().text(text, f);
}

void Reader::readRun(const QTextCharFormat& base)
{
    QTextCharFormat f = base;
    while (m_x->readNextStartElement()) {
        const QStringView name = m_x->name();
        if (name == QLatin1String("rPr")) {
            QTextCharFormat direct;
            readRunProps(direct);
            f.merge(direct);
        } else if (name == QLatin1String("t")) {
            emitText(m_x->readElementText(QXmlStreamReader::SkipChildElements), f);
        } else if (name == QLatin1String("tab")) {
            emitText(QStringLiteral("\t"), f);
            skip();
        } else if (name == QLatin1String("br") || name == QLatin1String("cr")) {
            emitText(QString(QChar::LineSeparator), f);
            skip();
        } else if (name == QLatin1String("pict")) {
            readPicture(f);
        } else if (name == QLatin1String("footnote") || name == QLatin1String("endnote")) {
            readNote(f);
        } else if (name == QLatin1String("footnoteRef") || name == QLatin1String("endnoteRef")) {
            QTextCharFormat mark = f;
            mark.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
            emitText(m_noteLabel, mark);
            skip();
        } else {
            skip();
        }
    }
}

void Reader::readPicture(const QTextCharFormat& f)
{
    if (!enter())
        return;
    while (m_x->readNextStartElement()) {
        if (m_x->name() == QLatin1String("binData")) {
            const QString name = m_x->attributes().value(kW, QLatin1String("name")).toString();
            const QString text = m_x->readElementText(QXmlStreamReader::SkipChildElements);
            if (text.size() <= kMaxPictureBytes * 4 / 3 + 16 && m_binData.size() < 10000)
                m_binData.insert(name, QByteArray::fromBase64(text.toLatin1()));
        } else if (m_x->namespaceUri() == kV && m_x->name() == QLatin1String("shape")) {
            const QString style = m_x->attributes().value(QLatin1String("style")).toString();
            QSizeF size;
            static const QRegularExpression wRe(QStringLiteral("(?:^|;)\\s*width:\\s*([^;]+)"));
            static const QRegularExpression hRe(QStringLiteral("(?:^|;)\\s*height:\\s*([^;]+)"));
            const std::optional<qreal> w = parseLength(wRe.match(style).captured(1));
            const std::optional<qreal> h = parseLength(hRe.match(style).captured(1));
            if (w && h)
                size = QSizeF(*w, *h);
            while (m_x->readNextStartElement()) {
                if (m_x->name() == QLatin1String("textbox")) {
                    while (m_x->readNextStartElement()) {
                        if (m_x->name() == QLatin1String("txbxContent"))
                            readTextBox(f);
                        else
                            skip();
                    }
                    continue;
                }
                if (m_x->name() == QLatin1String("imagedata")) {
                    const QXmlStreamAttributes a = m_x->attributes();
                    const QByteArray bytes = m_binData.value(a.value(QLatin1String("src")).toString());
                    if (!bytes.isEmpty()) {
                        Picture p;
                        p.data = bytes;
                        p.fileName = a.value(kO, QLatin1String("title")).toString();
                        if (!p.fileName.contains(QLatin1Char('.')))
                            p.fileName.clear();
                        p.sizePt = size;
                        if (!m_marker.isEmpty())
                            out().text(m_marker, f);
                        m_marker.clear();
                        out().picture(p, f);
                    }
                }
                skip();
            }
        } else {
            skip();
        }
    }
    leave();
}

void Reader::readTable()
{
    if (!enter())
        return;
    ++m_tableDepth;
    const bool kept = out().beginTableAt(m_tableDepth, m_attributes->notKept);
    while (m_x->readNextStartElement()) {
        if (m_x->name() == QLatin1String("tblGrid") && kept) {
            QList<qreal> widths;
            while (m_x->readNextStartElement()) {
                if (m_x->name() == QLatin1String("gridCol") && widths.size() < kMaxColumns)
                    widths.append(m_x->attributes().value(kW, QLatin1String("w")).toDouble());
                skip();
            }
            if (!widths.isEmpty())
                out().setColumnWidths(widths);
            continue;
        }
        if (m_x->name() != QLatin1String("tr")) {
            skip();
            continue;
        }
        if (!enter())
            break;
        while (m_x->readNextStartElement()) {
            if (m_x->name() != QLatin1String("tc")) {
                skip();
                continue;
            }
            if (kept)
                out().beginCell();
            readBlocks();
            if (kept)
                out().endCell();
        }
        if (kept)
            out().endRow();
        leave();
    }
    if (kept && m_tableDepth > 1)
        out().endNestedTable();
    else if (kept)
        out().endTable();
    --m_tableDepth;
    leave();
}

} // namespace WordML::detail

namespace WordML {

using detail::Reader;

bool looksLikeWordML(const QByteArray& data)
{
    const QByteArray head = data.left(4096);
    return head.contains("progid=\"Word.Document\"")
        || (head.contains("<w:wordDocument") && head.contains("schemas.microsoft.com/office/word/2003/wordml"));
}

bool read(const QByteArray& data, QTextDocument* into, WPDocAttributes* attributes, QString* error)
{
    WPDocAttributes local;
    WPDocAttributes* attrs = attributes ? attributes : &local;
    *attrs = WPDocAttributes();
    into->clear();
    Reader reader(into, attrs);
    return reader.run(data, error);
}

} // namespace WordML
