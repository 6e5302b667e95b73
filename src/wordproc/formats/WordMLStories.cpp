// What a Word 2003 XML document holds beside its paragraphs: merged
// cells, footnotes and endnotes, text boxes, and its sections' page setup
// and headers and footers.
#include "wordproc/formats/WordMLReader.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace WordML::detail {

using namespace FormatSupport;

// A cell's spans: w:gridSpan columns, and w:vmerge / w:hmerge continuing
// the cell above or to the left.
void Reader::readCellProps()
{
    while (m_x->readNextStartElement()) {
        const QXmlStreamAttributes a = m_x->attributes();
        const QStringView name = m_x->name();
        const QStringView value = a.value(kW, QLatin1String("val"));
        if (name == QLatin1String("gridSpan")) {
            const int span = value.toInt();
            if (span > 1)
                out().setCellSpan(1, span);
        } else if ((name == QLatin1String("vmerge") || name == QLatin1String("vMerge")) && value != QLatin1String("restart")) {
            out().setCellMerge(FormatSupport::Builder::ContinuesUp);
        } else if (name == QLatin1String("hmerge") && value != QLatin1String("restart")) {
            out().setCellMerge(FormatSupport::Builder::ContinuesLeft);
        } else if (name == QLatin1String("shd")) {
            // The shading's fill; a pattern over it is not kept.
            const QString fill = a.value(kW, QLatin1String("fill")).toString();
            const QColor color(QLatin1Char('#') + fill);
            if (fill.size() == 6 && color.isValid())
                out().setCellBackground(color);
        }
        skip();
    }
}

std::shared_ptr<QTextDocument> Reader::readStory()
{
    auto doc = std::make_shared<QTextDocument>();
    if (m_stories.size() >= 4) {
        skip();
        return doc;
    }
    const QString marker = m_marker;
    const int tableDepth = m_tableDepth;
    m_marker.clear();
    m_tableDepth = 0;
    m_stories.append({doc, std::make_shared<Builder>(doc.get())});
    readBlocks();
    m_stories.last().second->finish(QTextBlockFormat());
    m_stories.removeLast();
    m_marker = marker;
    m_tableDepth = tableDepth;
    return doc;
}

// A footnote or endnote where it is referred to: its number as a superscript
// label here, its text after the body.
void Reader::readNote(const QTextCharFormat& f)
{
    const QString label = QString::number(m_notes.size() + 1);
    QTextCharFormat mark = f;
    mark.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    emitText(label, mark);
    const QString outer = m_noteLabel;
    m_noteLabel = label;
    const std::shared_ptr<QTextDocument> note = readStory();
    m_noteLabel = outer;
    if (m_notes.size() < 100000)
        m_notes.append(note);
}

// A text box's text stays where it is anchored, its paragraphs as lines.
void Reader::readTextBox(const QTextCharFormat& f)
{
    const std::shared_ptr<QTextDocument> box = readStory();
    inlineStory(*box, f, [this](const QString& text, const QTextCharFormat& format) { emitText(text, format); });
}

// The text of a header or footer, PAGE and NUMPAGES fields as placeholders.
QString Reader::plainText()
{
    QString out;
    int depth = 1;
    while (depth > 0 && !m_x->atEnd()) {
        const QXmlStreamReader::TokenType t = m_x->readNext();
        if (t == QXmlStreamReader::StartElement) {
            ++depth;
            if (m_x->name() == QLatin1String("fldSimple")) {
                const QString instr = m_x->attributes().value(kW, QLatin1String("instr")).toString().trimmed().toUpper();
                if (instr.startsWith(QLatin1String("PAGE")) || instr.startsWith(QLatin1String("NUMPAGES"))) {
                    out += instr.startsWith(QLatin1String("PAGE")) ? QStringLiteral("{page}") : QStringLiteral("{pages}");
                    skip();
                    --depth;
                }
            } else if (m_x->name() == QLatin1String("p") || m_x->name() == QLatin1String("tab")) {
                out += QLatin1Char(' ');
            }
        } else if (t == QXmlStreamReader::EndElement) {
            --depth;
        } else if (t == QXmlStreamReader::Characters && out.size() < 4096) {
            out += m_x->text();
        }
    }
    return out.simplified();
}

void Reader::readSection()
{
    const bool first = !m_sawSection;
    m_sawSection = true;
    while (m_x->readNextStartElement()) {
        const QXmlStreamAttributes a = m_x->attributes();
        if (first && (m_x->name() == QLatin1String("hdr") || m_x->name() == QLatin1String("ftr"))) {
            // Another program's header and footer: odd pages' (the default)
            // or the first page's.
            const QStringView type = a.value(kW, QLatin1String("type"));
            const int slot = type == QLatin1String("first") ? 1 : type == QLatin1String("even") ? 2 : 0;
            QString* texts = m_x->name() == QLatin1String("hdr") ? m_otherHeader : m_otherFooter;
            texts[slot] = plainText();
            continue;
        }
        if (!first) {
            // The page setup is the first section's.
            skip();
            continue;
        }
        if (m_x->name() == QLatin1String("pgSz")) {
            const qreal w = twipsAttr(a, "w"), h = twipsAttr(a, "h");
            if (w > 0 && h > 0)
                m_attributes->paperSize = QSizeF(w, h);
        } else if (m_x->name() == QLatin1String("pgMar")) {
            for (const auto& [attr, field] : {std::pair{"top", &WPDocAttributes::topMargin},
                                              std::pair{"bottom", &WPDocAttributes::bottomMargin},
                                              std::pair{"left", &WPDocAttributes::leftMargin},
                                              std::pair{"right", &WPDocAttributes::rightMargin}}) {
                if (!a.value(kW, QLatin1String(attr)).isEmpty())
                    m_attributes->*field = twipsAttr(a, attr);
            }
        }
        skip();
    }
}

} // namespace WordML::detail
