// What a DOCX package holds beside its body's paragraphs and tables:
// markup-compatibility choices, text boxes, footnotes and endnotes, and
// tables nested past the reader's limit.
#include "wordproc/docx/DocxParser.h"

#include "wordproc/docx/DocxNames.h"

namespace DocxReader::detail {

using Docx::isW;
using Docx::wAttr;

// The first choice of markup-compatibility content (a drawing, a text box);
// its fallback repeats the same in older markup and is left alone.
void Parser::alternateContent(Paragraph& p, QList<Field>& fields, const Link& link, const Run& format)
{
    Q_UNUSED(fields);
    Q_UNUSED(link);
    bool taken = false;
    while (m_xml.readNextStartElement()) {
        if (taken || (m_xml.name() != QLatin1String("Choice") && m_xml.name() != QLatin1String("Fallback"))) {
            m_xml.skipCurrentElement();
            continue;
        }
        taken = true;
        while (m_xml.readNextStartElement()) {
            if (isW(m_xml, QLatin1String("drawing")) || isW(m_xml, QLatin1String("pict"))) {
                picture(p, format, isW(m_xml, QLatin1String("pict")));
                takeBoxes(p, format, m_boxes);
            } else {
                m_xml.skipCurrentElement();
            }
        }
    }
}

void Parser::textBox(QList<Paragraph>& out)
{
    // The reader stands on w:txbxContent; boxes inside boxes keep their text too.
    QList<Block> blocks;
    if (m_boxDepth >= 4) {
        m_xml.skipCurrentElement();
        return;
    }
    ++m_boxDepth;
    const bool trailer = m_tookTrailer;
    while (m_xml.readNextStartElement())
        readBlock(blocks, kMaxTableDepth - 1, 1);
    m_tookTrailer = trailer;
    --m_boxDepth;
    for (const Block& b : std::as_const(blocks)) {
        if (b.paragraph)
            out.append(*b.paragraph);
        else if (b.table)
            for (const WPTextModel::TableCell& c : b.table->cells)
                out.append(c.paragraphs);
    }
}

QString Parser::noteReference(bool endnote, const QString& id)
{
    int count = 0;
    for (const NoteRef& r : std::as_const(m_noteRefs))
        count += r.endnote == endnote ? 1 : 0;
    const QString label = WPTextModel::noteLabel(count + 1, endnote);
    if (m_noteRefs.size() < 100000)
        m_noteRefs.append({endnote, id, label});
    return label;
}

void Parser::readNotes(const QString& part, bool endnote, QHash<QString, QList<Block>>& out)
{
    const auto data = m_package.part(part);
    if (!data)
        return;
    const QHash<QString, Docx::Relationship> mainRels = m_rels;
    m_rels = m_package.relationships(part);
    QHash<QString, QString> labels;
    for (const NoteRef& r : std::as_const(m_noteRefs))
        if (r.endnote == endnote)
            labels.insert(r.id, r.label);
    m_xml.clear();
    m_xml.addData(*data);
    while (!m_xml.atEnd()) {
        const auto token = m_xml.readNext();
        if (token == QXmlStreamReader::DTD)
            break;
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (!isW(m_xml, endnote ? QLatin1String("endnote") : QLatin1String("footnote")))
            continue;
        const QString id = wAttr(m_xml, QLatin1String("id")).toString();
        if (!labels.contains(id) || out.contains(id)) {
            m_xml.skipCurrentElement();
            continue;
        }
        m_noteLabel = labels.value(id);
        QList<Block> blocks;
        while (m_xml.readNextStartElement())
            readBlock(blocks, 0, 1);
        out.insert(id, blocks);
    }
    m_noteLabel.clear();
    m_rels = mainRels;
}

// Footnotes, then endnotes, after the body under a line, in the order the
// text refers to them.
void Parser::appendNotes(Document& out)
{
    if (m_noteRefs.isEmpty())
        return;
    QHash<QString, QList<Block>> footnotes;
    QHash<QString, QList<Block>> endnotes;
    for (const Docx::Relationship& r : std::as_const(m_rels)) {
        if (r.external)
            continue;
        if (r.type.endsWith(QLatin1String("/footnotes")))
            readNotes(r.target, false, footnotes);
        else if (r.type.endsWith(QLatin1String("/endnotes")))
            readNotes(r.target, true, endnotes);
    }
    QList<Block> notes;
    for (bool endnote : {false, true})
        for (const NoteRef& r : std::as_const(m_noteRefs))
            if (r.endnote == endnote)
                notes += (endnote ? endnotes : footnotes).value(r.id);
    if (notes.isEmpty())
        return;
    out.blocks.append(Block{WPTextModel::noteSeparator(), std::nullopt});
    out.blocks += notes;
}

void Parser::flattenTable(QList<Block>& out, int depth)
{
    // The reader stands on a table (or a row or cell of it).
    int open = 1;
    while (open > 0 && !m_xml.atEnd()) {
        const auto token = m_xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --open;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (isW(m_xml, QLatin1String("p"))) {
            const qsizetype before = out.size();
            readBlock(out, kMaxTableDepth, depth);
            if (out.size() > before && out.last().table)
                out.removeLast();
            continue;
        }
        if (isW(m_xml, QLatin1String("tcPr")) || isW(m_xml, QLatin1String("trPr")) || isW(m_xml, QLatin1String("tblPr"))
            || isW(m_xml, QLatin1String("tblGrid"))) {
            m_xml.skipCurrentElement();
            continue;
        }
        ++open;
    }
}

} // namespace DocxReader::detail
