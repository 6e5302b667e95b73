#include "wordproc/formats/Html.h"

#include "wordproc/WPText.h"
#include "wordproc/formats/FormatSupport.h"
#include "wordproc/formats/HtmlTags.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>
#include <algorithm>
#include <array>
#include <memory>

namespace Html {

namespace {

using namespace FormatSupport;

// Bytes of a "data:" URI; nothing for any other address.
std::optional<QByteArray> dataUriBytes(const QString& uri)
{
    if (!uri.startsWith(QLatin1String("data:"), Qt::CaseInsensitive))
        return std::nullopt;
    const qsizetype comma = uri.indexOf(QLatin1Char(','));
    if (comma < 0 || uri.size() > 2 * kMaxPictureBytes)
        return std::nullopt;
    const QString header = uri.mid(5, comma - 5);
    const QByteArray payload = uri.mid(comma + 1).toLatin1();
    if (header.endsWith(QLatin1String(";base64"), Qt::CaseInsensitive))
        return QByteArray::fromBase64(payload);
    return QByteArray::fromPercentEncoding(payload);
}

// A scratch document that never reaches outside the file: images, style
// sheets and backgrounds named by address resolve to nothing.
class ContainedDocument : public QTextDocument {
public:
    QVariant loadResource(int, const QUrl&) override { return {}; }
};

QString decodeHtml(const QByteArray& data)
{
    std::optional<QStringConverter::Encoding> enc = QStringConverter::encodingForHtml(data);
    QStringDecoder decoder(enc.value_or(QStringConverter::Utf8), QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(data);
    if (decoder.hasError() && enc.value_or(QStringConverter::Utf8) == QStringConverter::Utf8)
        return QString::fromLatin1(data);
    return text;
}

QString unescapeEntities(const QString& text)
{
    static const QRegularExpression entity(QStringLiteral("&(#x[0-9a-fA-F]{1,6}|#[0-9]{1,7}|amp|lt|gt|quot|apos);"));
    QString out;
    qsizetype last = 0;
    QRegularExpressionMatchIterator it = entity.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(last, m.capturedStart() - last);
        const QString name = m.captured(1);
        if (name == QLatin1String("amp"))
            out += QLatin1Char('&');
        else if (name == QLatin1String("lt"))
            out += QLatin1Char('<');
        else if (name == QLatin1String("gt"))
            out += QLatin1Char('>');
        else if (name == QLatin1String("quot"))
            out += QLatin1Char('"');
        else if (name == QLatin1String("apos"))
            out += QLatin1Char('\'');
        else {
            bool ok = false;
            const uint code = name.startsWith(QLatin1String("#x")) ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok);
            if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF))
                out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        }
        last = m.capturedEnd();
    }
    out += text.mid(last);
    return out;
}

QString escapeAttribute(const QString& text)
{
    QString out;
    for (QChar c : text) {
        if (c == QLatin1Char('&'))
            out += QLatin1String("&amp;");
        else if (c == QLatin1Char('"'))
            out += QLatin1String("&quot;");
        else if (c == QLatin1Char('<'))
            out += QLatin1String("&lt;");
        else if (c == QLatin1Char('>'))
            out += QLatin1String("&gt;");
        else if (c.unicode() < 0x20)
            out += QStringLiteral("&#%1;").arg(c.unicode());
        else
            out += c;
    }
    return out;
}

// Qt's HTML reader slows down with every level of nesting and its writer
// recurses into it, and every level of tables inside tables is laid out
// again: a hostile page of thousands of nested elements would hang or
// overflow the stack. Elements deeper than these bounds lose their tags and
// keep their text; a page within them is left exactly as it is.
constexpr int kMaxNesting = 100;
constexpr int kMaxTableNesting = 8;
// Qt lays out every cell of a table, spanned ones included, once for each
// table around it: the cells a page's tables may take together are bounded
// too. Cells beyond lose their tags and keep their text, and so do cells and
// rows outside any table, which Qt would otherwise gather into tables of
// their own, their spans unchecked.
constexpr int kMaxTableCells = 20000;
// Qt takes a column span up to this.
constexpr int kQtMaxColumnSpan = 20480;

// The columns of one table as its cells are met, cells spanning rows below
// included: a cell that would start beyond the last column loses its tags
// (its text joins the cell before it, as in the other readers), and a span
// ends at the last column.
struct TableColumns {
    std::array<int, kMaxColumns> rowsBelow{}; // rows still covered from above
    std::array<bool, kMaxColumns> covered{};  // covered in the current row
    int next = 0;                             // first column a new cell may take
    bool inRow = false;
    bool droppedCell = false;                 // the open cell lost its tags

    void startRow()
    {
        for (int c = 0; c < kMaxColumns; ++c) {
            covered[c] = rowsBelow[c] > 0;
            rowsBelow[c] = std::max(0, rowsBelow[c] - 1);
        }
        next = 0;
        inRow = true;
        droppedCell = false;
    }
    // The column the cell takes, or -1 when it lies beyond the last one.
    int place(int columns, int rows)
    {
        if (!inRow)
            startRow();
        while (next < kMaxColumns && covered[next])
            ++next;
        if (next >= kMaxColumns)
            return -1;
        const int at = next;
        const int end = std::min(kMaxColumns, at + columns);
        for (int c = at; c < end; ++c) {
            covered[c] = true;
            rowsBelow[c] = std::max(rowsBelow[c], rows - 1);
        }
        next = end;
        return at;
    }
};

// A cell's span as Qt takes it from its attributes: the last value that is
// a number, at least 1 (and, for columns, at most Qt's own ceiling).
int spanOf(const HtmlTags::Tag& tag, QLatin1StringView key, int ceiling)
{
    int span = 1;
    for (const HtmlTags::Attribute& a : tag.attributes) {
        bool ok = false;
        const int value = a.key == key ? a.value.toInt(&ok) : 0;
        if (ok)
            span = std::clamp(value, 1, ceiling);
    }
    return span;
}

} // namespace

QString bounded(const QString& html)
{
    // Tags that never hold others or whose end tag may be left out: they
    // close themselves and add no level.
    static const QSet<QString> flat{
        QStringLiteral("area"),  QStringLiteral("base"),  QStringLiteral("basefont"), QStringLiteral("br"),
        QStringLiteral("col"),   QStringLiteral("embed"), QStringLiteral("hr"),       QStringLiteral("img"),
        QStringLiteral("input"), QStringLiteral("link"),  QStringLiteral("meta"),     QStringLiteral("param"),
        QStringLiteral("source"), QStringLiteral("track"), QStringLiteral("wbr"),     QStringLiteral("html"),
        QStringLiteral("head"),  QStringLiteral("body"),  QStringLiteral("p"),        QStringLiteral("li"),
        QStringLiteral("dt"),    QStringLiteral("dd"),    QStringLiteral("option"),   QStringLiteral("optgroup"),
        QStringLiteral("tr"),    QStringLiteral("td"),    QStringLiteral("th"),       QStringLiteral("thead"),
        QStringLiteral("tbody"), QStringLiteral("tfoot"), QStringLiteral("colgroup"), QStringLiteral("caption")};
    static const QSet<QString> tablePart{QStringLiteral("tr"),    QStringLiteral("td"),    QStringLiteral("th"),
                                         QStringLiteral("thead"), QStringLiteral("tbody"), QStringLiteral("tfoot"),
                                         QStringLiteral("col"),   QStringLiteral("colgroup"), QStringLiteral("caption")};
    struct Open {
        QString name;
        bool dropped;
    };
    QList<Open> open;
    QHash<QString, int> openCount;
    QList<TableColumns> tableColumns; // one per table that keeps its tags
    int tables = 0;
    int droppedTables = 0;
    int cellsTaken = 0; // column slots of the cells kept so far
    QString out;
    qsizetype copied = 0;
    bool changed = false;
    const auto replace = [&](qsizetype from, qsizetype to, QStringView with) {
        out += QStringView(html).mid(copied, from - copied);
        out += with;
        copied = to;
        changed = true;
    };
    const auto drop = [&](qsizetype from, qsizetype to) { replace(from, to, {}); };
    qsizetype i = 0;
    while ((i = html.indexOf(QLatin1Char('<'), i)) >= 0) {
        const qsizetype start = i;
        const HtmlTags::Tag tag = HtmlTags::read(html, start);
        i = tag.end;
        // Comments, declarations and tags without a name hold nothing.
        if (tag.kind == HtmlTags::Tag::Declaration || tag.name.isEmpty())
            continue;
        const QString& name = tag.name;
        const bool closing = tag.kind == HtmlTags::Tag::Close;
        const bool selfClosing = tag.closed;
        if (flat.contains(name) || (selfClosing && !closing)) {
            if (tablePart.contains(name) && (droppedTables > 0 || tableColumns.isEmpty() || cellsTaken >= kMaxTableCells)) {
                // A paragraph of its own, as in a cell that lies beyond.
                const bool cellStart = !closing && (name == QLatin1String("td") || name == QLatin1String("th"));
                replace(start, i, cellStart ? u"<p>" : u"");
                continue;
            }
            if (tableColumns.isEmpty())
                continue;
            TableColumns& columns = tableColumns.last();
            const bool cell = name == QLatin1String("td") || name == QLatin1String("th");
            if (closing) {
                if (cell && columns.droppedCell) {
                    drop(start, i);
                    columns.droppedCell = false;
                }
                continue;
            }
            if (name == QLatin1String("tr")) {
                columns.startRow();
            } else if (cell) {
                const int wide = spanOf(tag, QLatin1StringView("colspan"), kQtMaxColumnSpan);
                const int at = columns.place(wide, spanOf(tag, QLatin1StringView("rowspan"), 1'000'000));
                columns.droppedCell = at < 0;
                if (at < 0) {
                    // A paragraph of its own in the cell before.
                    replace(start, i, u"<p>");
                } else if (wide > kMaxColumns - at) {
                    // Every span Qt could take is brought within the table.
                    for (const HtmlTags::Attribute& a : tag.attributes) {
                        bool ok = false;
                        if (a.key == QLatin1String("colspan") && a.valueStart >= 0 && a.value.toInt(&ok) > kMaxColumns - at && ok)
                            replace(a.valueStart, a.valueEnd, QString::number(kMaxColumns - at));
                    }
                }
                if (at >= 0)
                    cellsTaken += std::min(wide, kMaxColumns - at);
            }
            continue;
        }
        if (!closing) {
            const bool table = name == QLatin1String("table");
            const bool dropped = open.size() >= kMaxNesting || (table && tables >= kMaxTableNesting) || droppedTables > 0;
            open.append({name, dropped});
            ++openCount[name];
            if (table)
                ++(dropped ? droppedTables : tables);
            if (table && !dropped)
                tableColumns.append(TableColumns{});
            if (dropped)
                drop(start, i);
            continue;
        }
        if (openCount.value(name) == 0)
            continue;
        // Elements left open inside this one close with it.
        while (!open.isEmpty()) {
            const Open last = open.takeLast();
            --openCount[last.name];
            if (last.name == QLatin1String("table")) {
                --(last.dropped ? droppedTables : tables);
                if (!last.dropped)
                    tableColumns.removeLast();
            }
            if (last.name == name) {
                if (last.dropped)
                    drop(start, i);
                break;
            }
        }
    }
    if (!changed)
        return html;
    out += QStringView(html).mid(copied);
    return out;
}

namespace {

// Qt's lists become our list paragraphs: literal markers, never a QTextList.
void convertLists(QTextDocument* doc)
{
    struct ListItem {
        QTextBlock block;
        int kind;
        int number;
    };
    // Numbers first: taking a block out of its list renumbers the rest. A
    // list holds its blocks in document order, so an item's number is the
    // count of its list's items met so far (no search of the list per item).
    QList<ListItem> items;
    QHash<const QTextList*, int> counted;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        QTextList* list = b.textList();
        if (!list)
            continue;
        const QTextListFormat::Style style = list->format().style();
        const bool bullet = style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle
                         || style == QTextListFormat::ListSquare;
        items.append({b, bullet ? WPText::ListBullet : WPText::ListNumber, ++counted[list]});
    }
    for (const auto& [block, kind, number] : std::as_const(items)) {
        QTextList* list = block.textList();
        list->remove(block);
        QTextCursor cursor(block);
        QTextBlockFormat f = block.blockFormat();
        f.clearProperty(QTextFormat::BlockIndent);
        f.setProperty(WPText::ListKind, kind);
        setIndents(f, WPText::kListHeadIndent, WPText::kListHeadIndent, tailIndent(f));
        setTabStops(f, {{WPText::kListTab1, 0}, {WPText::kListTab2, 0}});
        cursor.setBlockFormat(f);
        // The marker takes the format of the item's first characters.
        const QTextBlock::iterator first = block.begin();
        const QTextCharFormat format = !first.atEnd() && first.fragment().isValid() && !first.fragment().charFormat().isImageFormat()
                                           ? first.fragment().charFormat() : block.charFormat();
        cursor.insertText(markerFor(kind, number), format);
    }
}

// Qt's HTML reader adds an empty paragraph after a table that is followed
// by more text; without this every open and save would add one.
void dropBlocksAddedAfterTables(QTextDocument* doc)
{
    // Edits may merge or remove frames, so no table is held across one: the
    // tables are found again by where they start, the last one first, so
    // that an edit after a table leaves the positions before it as they are.
    QList<int> starts;
    for (QTextFrame::iterator it = doc->rootFrame()->begin(); !it.atEnd(); ++it) {
        if (QTextTable* table = qobject_cast<QTextTable*>(it.currentFrame()))
            starts.append(table->firstPosition());
    }
    for (auto start = starts.crbegin(); start != starts.crend(); ++start) {
        QTextFrame* frame = doc->frameAt(*start);
        while (frame && frame->parentFrame() && frame->parentFrame() != doc->rootFrame())
            frame = frame->parentFrame();
        const QTextTable* table = qobject_cast<QTextTable*>(frame);
        if (!table)
            continue;
        QTextCursor after = table->lastCursorPosition();
        after.movePosition(QTextCursor::NextBlock);
        const QTextBlock empty = after.block();
        const QTextBlock next = empty.next();
        if (empty.length() != 1 || !next.isValid() || empty == table->lastCursorPosition().block())
            continue;
        // Only a paragraph of the main text takes the empty one's place.
        if (QTextCursor(empty).currentFrame() != doc->rootFrame() || QTextCursor(next).currentFrame() != doc->rootFrame())
            continue;
        after.setBlockFormat(next.blockFormat());
        after.setBlockCharFormat(next.charFormat());
        after.setPosition(next.position(), QTextCursor::KeepAnchor);
        after.removeSelectedText();
    }
}

// Images named by data: URIs become pictures; any other image is dropped.
// Qt's underline and strike flags become our style integers.
void adoptFormats(QTextDocument* doc)
{
    struct Fragment {
        int position;
        int length;
        QTextCharFormat format;
    };
    QList<Fragment> found;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fr = it.fragment();
            const QTextCharFormat f = fr.charFormat();
            if (fr.isValid() && (f.isImageFormat() || f.fontUnderline() || f.fontStrikeOut()))
                found.append({fr.position(), fr.length(), f});
        }
    }
    for (auto it = found.crbegin(); it != found.crend(); ++it) {
        QTextCursor cursor(doc);
        if (!it->format.isImageFormat()) {
            cursor.setPosition(it->position);
            cursor.setPosition(it->position + it->length, QTextCursor::KeepAnchor);
            QTextCharFormat f = it->format;
            adoptQtLineStyles(f);
            cursor.setCharFormat(f);
            continue;
        }
        const QTextImageFormat image = it->format.toImageFormat();
        QTextCharFormat base = it->format;
        base.clearProperty(QTextFormat::ImageName);
        base.clearProperty(QTextFormat::ImageWidth);
        base.clearProperty(QTextFormat::ImageHeight);
        base.clearProperty(QTextFormat::ObjectType);
        const std::optional<QByteArray> bytes = dataUriBytes(image.name());
        for (int k = it->length - 1; k >= 0; --k) {
            cursor.setPosition(it->position + k);
            cursor.setPosition(it->position + k + 1, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            if (!bytes || bytes->isEmpty())
                continue;
            Picture picture;
            picture.data = *bytes;
            if (image.width() > 0 && image.height() > 0)
                picture.sizePt = QSizeF(WPText::toPoints(image.width()), WPText::toPoints(image.height()));
            insertPicture(cursor, picture, base);
        }
    }
}

// A copy of `text` whose list paragraphs are the items of real lists, their
// literal markers taken out: a page then has <ul> and <ol> lists that every
// browser numbers, and reading it back gives the same list paragraphs.
std::unique_ptr<QTextDocument> withRealLists(const QTextDocument& text)
{
    std::unique_ptr<QTextDocument> copy(text.clone());
    QTextList* list = nullptr;
    int currentKind = WPText::ListNone;
    for (QTextBlock b = copy->begin(); b.isValid(); b = b.next()) {
        const int kind = listKind(b.blockFormat());
        if (kind == WPText::ListNone || b.textList()) {
            list = nullptr;
            continue;
        }
        const int marker = markerLength(b.text());
        QTextCursor cursor(b);
        if (marker > 0) {
            cursor.setPosition(b.position() + marker, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
        QTextBlockFormat f = b.blockFormat();
        f.clearProperty(WPText::ListKind);
        setIndents(f, 0, 0, tailIndent(f));
        f.clearProperty(QTextFormat::TabPositions);
        cursor.setBlockFormat(f);
        // A paragraph in another table cell or frame starts a list of its own.
        if (list && currentKind == kind && b.previous().isValid() && b.previous().textList() == list
            && cursor.currentFrame() == QTextCursor(b.previous()).currentFrame()) {
            list->add(b);
            continue;
        }
        QTextListFormat lf;
        lf.setStyle(kind == WPText::ListBullet ? QTextListFormat::ListDisc : QTextListFormat::ListDecimal);
        list = cursor.createList(lf);
        currentKind = kind;
    }
    return copy;
}

} // namespace

bool looksLikeHtml(const QByteArray& data)
{
    const QByteArray head = data.left(1024).trimmed().toLower();
    return head.startsWith("<!doctype html") || head.startsWith("<html") || head.contains("<html")
        || head.contains("<body") || head.contains("<meta name=\"qrichtext\"");
}

void read(const QByteArray& data, QTextDocument* into, WPDocAttributes* attributes)
{
    const QString html = decodeHtml(data);
    static const QRegularExpression meta(
        QStringLiteral("<meta\\s+name\\s*=\\s*\"(?:comment|description)\"\\s+content\\s*=\\s*\"([^\"]*)\""),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = meta.match(html);
    if (attributes && m.hasMatch())
        attributes->comment = unescapeEntities(m.captured(1));

    // Qt's reader first runs on a scratch document that loads nothing; what
    // it understood is written out again in Qt's own HTML, in which only
    // embedded pictures still point anywhere.
    ContainedDocument scratch;
    scratch.setHtml(bounded(html));
    QString normalized = scratch.toHtml();
    static const QRegularExpression src(QStringLiteral("src=\"(?!data:)[^\"]*\""), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression background(QStringLiteral("\\bbackground=\"[^\"]*\"|background-image:[^;\"]*;?"),
                                               QRegularExpression::CaseInsensitiveOption);
    normalized.replace(src, QStringLiteral("src=\"\""));
    normalized.replace(background, QString());
    into->clear();
    // Bounded again: Qt's reader may have made more of a broken page than
    // the first pass saw, and its own HTML is read exactly as it is here.
    into->setHtml(bounded(normalized));
    dropBlocksAddedAfterTables(into);
    convertLists(into);
    adoptFormats(into);
}

QByteArray write(const QTextDocument& text, const WPDocAttributes& attributes)
{
    QString html = withRealLists(text)->toHtml();
    // Qt gives a list item of coloured text its character style and its
    // paragraph style as two style attributes, which no page may have (the
    // second is dropped by browsers, and refused by stricter readers): one
    // attribute holds both. Text never holds a bare quote, so only tags match.
    static const QRegularExpression twoStyles(QStringLiteral("style=\"([^\"]*)\" style=\"([^\"]*)\""));
    html.replace(twoStyles, QStringLiteral("style=\"\\1\\2\""));
    // Pictures as data: URIs, so the page holds them.
    static const QRegularExpression img(QStringLiteral("src=\"([^\"]+)\""));
    QHash<QString, QString> uris;
    for (const WPTextModel::Paragraph& paragraph : WPTextModel::paragraphs(text)) {
        for (const WPTextModel::Run& r : paragraph.runs) {
            if (!r.picture || r.resource.isEmpty())
                continue;
            const Picture p = pictureOf(*r.picture);
            const QString type = p.format().isEmpty() ? QStringLiteral("png") : p.format();
            uris.insert(r.resource.toHtmlEscaped(), QStringLiteral("data:image/%1;base64,").arg(type)
                                                               + QString::fromLatin1(p.data.toBase64()));
        }
    }
    QString out;
    qsizetype last = 0;
    QRegularExpressionMatchIterator it = img.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += html.mid(last, m.capturedStart() - last);
        // Other addresses are no picture of the document's: left as they are.
        out += uris.contains(m.captured(1)) ? QStringLiteral("src=\"%1\"").arg(uris.value(m.captured(1))) : m.captured(0);
        last = m.capturedEnd();
    }
    out += html.mid(last);
    if (attributes.comment) {
        const qsizetype head = out.indexOf(QLatin1String("<head>"));
        const QString tag = QStringLiteral("<meta name=\"comment\" content=\"%1\" />").arg(escapeAttribute(*attributes.comment));
        if (head >= 0)
            out.insert(head + 6, tag);
    }
    return out.toUtf8();
}

} // namespace Html
