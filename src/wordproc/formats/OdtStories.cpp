// What an OpenDocument text holds beside its paragraphs and tables: frames
// with pictures, text boxes and objects, notes, and the master page's
// header and footer.
#include "wordproc/formats/OdtReader.h"

#include "wordproc/WPText.h"
#include "wordproc/formats/OdtXml.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <utility>

namespace Odt::detail {

using namespace FormatSupport;

void Reader::readFrame(QXmlStreamReader& x, const QTextCharFormat& format)
{
    const QXmlStreamAttributes a = x.attributes();
    const std::optional<qreal> w = parseLength(a.value(Ns::svg, QLatin1String("width")).toString());
    const std::optional<qreal> h = parseLength(a.value(Ns::svg, QLatin1String("height")).toString());
    bool done = false;
    while (x.readNextStartElement()) {
        if (x.namespaceUri() == Ns::draw && x.name() == QLatin1String("text-box")) {
            readTextBox(x, format);
            continue;
        }
        if (!done && x.namespaceUri() == Ns::draw && x.name() == QLatin1String("object")) {
            // Charts and other embedded objects: their preview picture, if
            // any, stays; the object itself is not kept.
            QString href = x.attributes().value(Ns::xlink, QLatin1String("href")).toString();
            if (href.startsWith(QLatin1String("./")))
                href = href.mid(2);
            const std::optional<QByteArray> inner = href.contains(QLatin1String(".."))
                                                        ? std::nullopt
                                                        : m_zip.read(href + QStringLiteral("/content.xml"), kMaxXmlBytes);
            ++m_attributes->notKept[inner && inner->contains("<chart:chart") ? QStringLiteral("chart")
                                                                              : QStringLiteral("embedded object")];
            skip(x);
            continue;
        }
        if (!done && x.namespaceUri() == Ns::draw && x.name() == QLatin1String("image")) {
            QString href = x.attributes().value(Ns::xlink, QLatin1String("href")).toString();
            if (href.startsWith(QLatin1String("./")))
                href = href.mid(2);
            const std::optional<QByteArray> bytes = href.contains(QLatin1String(".."))
                                                        ? std::nullopt
                                                        : m_zip.read(href, kMaxPictureBytes);
            // A picture outside the package is linked, not kept.
            if (!bytes && !href.isEmpty() && !m_zip.contains(href))
                ++m_attributes->notKept[QStringLiteral("linked picture")];
            if (bytes && !bytes->isEmpty()) {
                Picture p;
                p.data = *bytes;
                p.fileName = href.section(QLatin1Char('/'), -1);
                if (w && h)
                    p.sizePt = QSizeF(*w, *h);
                flushMarker(format);
                if (m_pendingSpace && !m_atStart)
                    out().text(QStringLiteral(" "), m_spaceFormat);
                m_pendingSpace = false;
                m_atStart = false;
                out().picture(p, format);
                done = true;
            }
        }
        skip(x);
    }
}

// The paragraphs of a note or text box, into a document of their own; the
// paragraph being read around it is left as it is.
std::shared_ptr<QTextDocument> Reader::readStory(QXmlStreamReader& x)
{
    auto doc = std::make_shared<QTextDocument>();
    if (m_stories.size() >= 4) {
        skip(x);
        return doc;
    }
    const bool atStart = m_atStart;
    const bool pendingSpace = m_pendingSpace;
    const QTextCharFormat spaceFormat = m_spaceFormat;
    const QString marker = m_marker;
    const int tableDepth = m_tableDepth;
    const bool breakAfterBox = std::exchange(m_breakAfterBox, false);
    m_marker.clear();
    m_tableDepth = 0;
    m_stories.append({doc, std::make_shared<Builder>(doc.get())});
    readBlocks(x);
    m_stories.last().second->finish(QTextBlockFormat());
    m_stories.removeLast();
    m_atStart = atStart;
    m_pendingSpace = pendingSpace;
    m_spaceFormat = spaceFormat;
    m_marker = marker;
    m_breakAfterBox = breakAfterBox;
    m_tableDepth = tableDepth;
    return doc;
}

void Reader::readNote(QXmlStreamReader& x, const QTextCharFormat& format)
{
    // The citation stays as a superscript label; the body follows the text.
    QString label;
    std::shared_ptr<QTextDocument> body;
    while (x.readNextStartElement()) {
        if (x.name() == QLatin1String("note-citation"))
            label = x.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        else if (x.name() == QLatin1String("note-body") && !body)
            body = readStory(x);
        else
            skip(x);
    }
    if (label.isEmpty())
        label = QString::number(m_notes.size() + 1);
    QTextCharFormat mark = format;
    mark.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    emitLiteral(label, mark);
    if (!body || m_notes.size() >= 100000)
        return;
    QTextCursor cursor(body.get());
    cursor.insertText(label, mark);
    m_notes.append(body);
}

void Reader::readTextBox(QXmlStreamReader& x, const QTextCharFormat& format)
{
    // The box's text stays where it is anchored, on lines of its own.
    const std::shared_ptr<QTextDocument> box = readStory(x);
    bool any = false;
    inlineStory(*box, format, [&](const QString& text, const QTextCharFormat& f) {
        if (!any && !m_atStart) {
            m_pendingSpace = false;
            emitLiteral(QString(QChar::LineSeparator), format);
        }
        any = true;
        emitLiteral(text, f);
    });
    if (any) {
        // What follows the box in its paragraph starts a line of its own.
        m_breakAfterBox = true;
        m_breakFormat = format;
    }
}

// The text of a header or footer, with page fields as placeholders.
QString Reader::plainText(QXmlStreamReader& x)
{
    QString out;
    int depth = 1;
    while (depth > 0 && !x.atEnd()) {
        const QXmlStreamReader::TokenType t = x.readNext();
        if (t == QXmlStreamReader::StartElement) {
            ++depth;
            const QStringView name = x.name();
            if (name == QLatin1String("page-number") || name == QLatin1String("page-count")) {
                out += name == QLatin1String("page-number") ? QStringLiteral("{page}") : QStringLiteral("{pages}");
                skip(x);
                --depth;
            } else if (name == QLatin1String("p") || name == QLatin1String("h")) {
                out += QLatin1Char(' ');
            } else if (name == QLatin1String("tab") || name == QLatin1String("s")) {
                out += QLatin1Char(' ');
            }
        } else if (t == QXmlStreamReader::EndElement) {
            --depth;
        } else if (t == QXmlStreamReader::Characters && out.size() < 4096) {
            out += x.text();
        }
    }
    return out.simplified();
}

// Another program's header and footer: those of the first master page, or
// its first-page ones when it has no others.
void Reader::readMasterPage(QXmlStreamReader& x)
{
    QString headerFirst, footerFirst, headerEven, footerEven;
    while (x.readNextStartElement()) {
        const QStringView name = x.name();
        const bool shown = x.attributes().value(Ns::style, QLatin1String("display")) != QLatin1String("false");
        if (!shown)
            skip(x);
        else if (name == QLatin1String("header"))
            m_otherHeader = plainText(x);
        else if (name == QLatin1String("footer"))
            m_otherFooter = plainText(x);
        else if (name == QLatin1String("header-first"))
            headerFirst = plainText(x);
        else if (name == QLatin1String("footer-first"))
            footerFirst = plainText(x);
        else if (name == QLatin1String("header-left"))
            headerEven = plainText(x);
        else if (name == QLatin1String("footer-left"))
            footerEven = plainText(x);
        else
            skip(x);
    }
    WPHeaderFooter::countVariants(m_attributes->notKept, QStringLiteral("header"), m_otherHeader, headerFirst, headerEven);
    WPHeaderFooter::countVariants(m_attributes->notKept, QStringLiteral("footer"), m_otherFooter, footerFirst, footerEven);
    if (m_otherHeader.isEmpty())
        m_otherHeader = headerFirst;
    if (m_otherFooter.isEmpty())
        m_otherFooter = footerFirst;
}

} // namespace Odt::detail
