// Reading OpenDocument Text: styles (with their parents) from styles.xml
// and content.xml, the body's paragraphs, lists, tables and pictures, the
// page layout of the standard master page, and meta.xml.
#include "wordproc/formats/Odt.h"
#include "wordproc/formats/OdtReader.h"

#include "wordproc/WPText.h"
#include "wordproc/docx/Zip.h"
#include "wordproc/formats/FormatSupport.h"
#include "wordproc/formats/OdtXml.h"
#include "wordproc/formats/ZipPackage.h"

#include <QColor>
#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>
#include <QXmlStreamReader>
#include <utility>

namespace Odt::detail {

using namespace FormatSupport;

namespace {

// Attribute key with a fixed prefix whatever prefix the file uses.
QString key(const QXmlStreamAttribute& a)
{
    const QStringView ns = a.namespaceUri();
    if (ns == Ns::fo)
        return QStringLiteral("fo:") + a.name().toString();
    if (ns == Ns::style)
        return QStringLiteral("style:") + a.name().toString();
    return a.name().toString();
}

} // namespace

bool Reader::enter(QXmlStreamReader& x)
{
    if (++m_depth > kMaxDepth) {
        m_tooDeep = true;
        x.raiseError(QStringLiteral("The document is nested too deeply."));
        return false;
    }
    return true;
}

bool Reader::parse(const QString& part, bool required, const std::function<void(QXmlStreamReader&)>& body)
{
    const std::optional<QByteArray> bytes = m_zip.read(part, kMaxXmlBytes);
    if (!bytes)
        return !required;
    QXmlStreamReader x(*bytes);
    while (!x.atEnd()) {
        const QXmlStreamReader::TokenType t = x.readNext();
        if (t == QXmlStreamReader::DTD) {
            x.raiseError(QStringLiteral("Document type declarations are not read."));
            break;
        }
        if (t == QXmlStreamReader::StartElement) {
            body(x);
            break;
        }
    }
    return !x.hasError();
}

bool Reader::run(QString* error)
{
    auto styleRoot = [this](QXmlStreamReader& x) {
        while (x.readNextStartElement()) {
            if (x.namespaceUri() == Ns::office && x.name() == QLatin1String("styles"))
                readStyles(x);
            else if (x.namespaceUri() == Ns::office && x.name() == QLatin1String("automatic-styles"))
                readStyles(x);
            else if (x.namespaceUri() == Ns::office && x.name() == QLatin1String("master-styles")) {
                while (x.readNextStartElement()) {
                    if (x.name() == QLatin1String("master-page") && m_masterLayout.isEmpty()) {
                        m_masterLayout = x.attributes().value(Ns::style, QLatin1String("page-layout-name")).toString();
                        readMasterPage(x);
                    } else {
                        skip(x);
                    }
                }
            } else
                skip(x);
        }
    };
    bool ok = parse(QStringLiteral("styles.xml"), false, styleRoot);
    ok = ok && parse(QStringLiteral("content.xml"), true, [&](QXmlStreamReader& x) {
        while (x.readNextStartElement()) {
            if (x.namespaceUri() == Ns::office && x.name() == QLatin1String("automatic-styles"))
                readStyles(x);
            else if (x.namespaceUri() == Ns::office && x.name() == QLatin1String("body")) {
                while (x.readNextStartElement()) {
                    if (x.name() == QLatin1String("text"))
                        readBlocks(x);
                    else
                        skip(x);
                }
            } else
                skip(x);
        }
    });
    if (!ok) {
        if (error)
            *error = m_tooDeep               ? QStringLiteral("The document is nested too deeply.")
                   : m_zip.refusedForSize() ? Zip::tooLargeMessage()
                                            : QStringLiteral("The OpenDocument text is damaged.");
        return false;
    }
    out().finish(QTextBlockFormat());
    parse(QStringLiteral("meta.xml"), false, [this](QXmlStreamReader& x) { readMeta(x); });
    if (m_haveHeaderFooter)
        m_attributes->comment = WPHeaderFooter::encode(m_header, m_footer);
    else if (!m_otherHeader.isEmpty() || !m_otherFooter.isEmpty())
        m_attributes->comment = WPHeaderFooter::encode(WPHeaderFooter::sanitize(m_otherHeader),
                                                       WPHeaderFooter::sanitize(m_otherFooter));
    appendNotes(m_document, m_notes);
    const auto layout = m_pageLayouts.constFind(m_masterLayout.isEmpty() && m_pageLayouts.size() == 1
                                                    ? m_pageLayouts.constBegin().key()
                                                    : m_masterLayout);
    if (layout != m_pageLayouts.constEnd()) {
        const std::optional<qreal> w = parseLength(layout->value(QStringLiteral("fo:page-width")));
        const std::optional<qreal> h = parseLength(layout->value(QStringLiteral("fo:page-height")));
        if (w && h)
            m_attributes->paperSize = QSizeF(*w, *h);
        m_attributes->leftMargin = parseLength(layout->value(QStringLiteral("fo:margin-left")));
        m_attributes->rightMargin = parseLength(layout->value(QStringLiteral("fo:margin-right")));
        m_attributes->topMargin = parseLength(layout->value(QStringLiteral("fo:margin-top")));
        m_attributes->bottomMargin = parseLength(layout->value(QStringLiteral("fo:margin-bottom")));
    }
    return true;
}

void Reader::readStyles(QXmlStreamReader& x)
{
    while (x.readNextStartElement()) {
        const QXmlStreamAttributes a = x.attributes();
        const QString name = a.value(Ns::style, QLatin1String("name")).toString();
        if (x.name() == QLatin1String("style"))
            readStyle(x, name, a.value(Ns::style, QLatin1String("family")).toString(),
                      a.value(Ns::style, QLatin1String("parent-style-name")).toString());
        else if (x.name() == QLatin1String("default-style"))
            readStyle(x, QString(), a.value(Ns::style, QLatin1String("family")).toString(), QString());
        else if (x.name() == QLatin1String("list-style"))
            readListStyle(x, name);
        else if (x.name() == QLatin1String("page-layout"))
            readPageLayout(x, name);
        else
            skip(x);
    }
}

void Reader::readStyle(QXmlStreamReader& x, const QString& name, const QString& family, const QString& parent)
{
    Style s;
    s.family = family;
    s.parent = parent;
    while (x.readNextStartElement()) {
        if (x.name() == QLatin1String("paragraph-properties")) {
            for (const QXmlStreamAttribute& a : x.attributes())
                s.para.insert(key(a), a.value().toString());
            while (x.readNextStartElement()) {
                if (x.name() == QLatin1String("tab-stops")) {
                    s.hasTabs = true;
                    while (x.readNextStartElement()) {
                        const QXmlStreamAttributes ta = x.attributes();
                        const std::optional<qreal> pos = parseLength(ta.value(Ns::style, QLatin1String("position")).toString());
                        const QStringView type = ta.value(Ns::style, QLatin1String("type"));
                        const int t = type == QLatin1String("right")    ? QTextOption::RightTab
                                    : type == QLatin1String("center") ? QTextOption::CenterTab
                                    : type == QLatin1String("char")   ? QTextOption::DelimiterTab
                                                                      : QTextOption::LeftTab;
                        if (pos && s.tabs.size() < 64)
                            s.tabs.append({*pos, t});
                        skip(x);
                    }
                } else {
                    skip(x);
                }
            }
        } else if (x.name() == QLatin1String("table-column-properties")) {
            // The share among the table's columns, else the width itself.
            const QXmlStreamAttributes a = x.attributes();
            const QString relative = a.value(Ns::style, QLatin1String("rel-column-width")).toString();
            bool ok = false;
            const qreal share = QStringView(relative).chopped(relative.endsWith(QLatin1Char('*')) ? 1 : 0).toDouble(&ok);
            if (ok && std::isfinite(share) && share > 0)
                s.columnWidth = share;
            else if (const auto width = parseLength(a.value(Ns::style, QLatin1String("column-width")).toString()); width && *width > 0)
                s.columnWidth = *width;
            skip(x);
        } else if (x.name() == QLatin1String("table-cell-properties")) {
            const QColor shade = QColor(x.attributes().value(Ns::fo, QLatin1String("background-color")).toString());
            if (shade.isValid() && shade.alpha() > 0)
                s.cellBackground = shade;
            skip(x);
        } else if (x.name() == QLatin1String("text-properties")) {
            for (const QXmlStreamAttribute& a : x.attributes())
                s.text.insert(key(a), a.value().toString());
            skip(x);
        } else {
            skip(x);
        }
    }
    if (name.isEmpty())
        m_defaults.insert(family, s);
    else
        m_styles.insert(name, s);
}

void Reader::readListStyle(QXmlStreamReader& x, const QString& name)
{
    constexpr int kMaxLevels = 10;
    QList<ListLevel> levels;
    while (x.readNextStartElement()) {
        const QXmlStreamAttributes a = x.attributes();
        bool ok = false;
        // Levels are numbered from 1; one without a number follows the last.
        int level = a.value(Ns::text, QLatin1String("level")).toInt(&ok);
        if (!ok)
            level = int(levels.size()) + 1;
        if (level >= 1 && level <= kMaxLevels) {
            ListLevel l;
            if (x.name() == QLatin1String("list-level-style-number")
                && !a.value(Ns::style, QLatin1String("num-format")).isEmpty()) {
                l.kind = WPText::ListNumber;
                const int start = a.value(Ns::text, QLatin1String("start-value")).toInt(&ok);
                l.start = ok ? std::clamp(start, 0, 1'000'000) : 1;
            }
            while (levels.size() < level)
                levels.append(ListLevel());
            levels[level - 1] = l;
        }
        skip(x);
    }
    m_listLevels.insert(name, levels);
}

void Reader::readPageLayout(QXmlStreamReader& x, const QString& name)
{
    QHash<QString, QString> props;
    while (x.readNextStartElement()) {
        if (x.name() == QLatin1String("page-layout-properties")) {
            for (const QXmlStreamAttribute& a : x.attributes())
                props.insert(key(a), a.value().toString());
        }
        skip(x);
    }
    m_pageLayouts.insert(name, props);
}

void Reader::readMeta(QXmlStreamReader& x)
{
    while (x.readNextStartElement()) {
        if (x.name() != QLatin1String("meta")) {
            skip(x);
            continue;
        }
        while (x.readNextStartElement()) {
            if (x.namespaceUri() == Ns::dc && x.name() == QLatin1String("description")) {
                const QString text = x.readElementText(QXmlStreamReader::IncludeChildElements);
                if (!m_haveHeaderFooter)
                    m_attributes->comment = text;
            } else if (x.namespaceUri() == Ns::meta && x.name() == QLatin1String("user-defined")) {
                const QString name = x.attributes().value(Ns::meta, QLatin1String("name")).toString();
                const QString value = x.readElementText(QXmlStreamReader::IncludeChildElements);
                if (name == Ns::headerProperty || name == Ns::footerProperty) {
                    (name == Ns::headerProperty ? m_header : m_footer) = WPHeaderFooter::sanitize(value);
                    m_haveHeaderFooter = true;
                }
            } else {
                skip(x);
            }
        }
    }
}

QHash<QString, QString> Reader::resolved(const QString& name, bool text) const
{
    QList<const Style*> chain;
    QString current = name;
    for (int guard = 0; guard < 16 && !current.isEmpty(); ++guard) {
        const auto it = m_styles.constFind(current);
        if (it == m_styles.constEnd())
            break;
        chain.prepend(&*it);
        current = it->parent;
    }
    QHash<QString, QString> out;
    const QString family = chain.isEmpty() ? QString() : chain.last()->family;
    const auto def = m_defaults.constFind(family.isEmpty() ? QStringLiteral("paragraph") : family);
    if (def != m_defaults.constEnd())
        out = text ? def->text : def->para;
    for (const Style* s : std::as_const(chain)) {
        const QHash<QString, QString>& props = text ? s->text : s->para;
        for (auto it = props.constBegin(); it != props.constEnd(); ++it)
            out.insert(it.key(), it.value());
    }
    return out;
}

QList<TabStop> Reader::resolvedTabs(const QString& name) const
{
    QString current = name;
    for (int guard = 0; guard < 16 && !current.isEmpty(); ++guard) {
        const auto it = m_styles.constFind(current);
        if (it == m_styles.constEnd())
            break;
        if (it->hasTabs)
            return it->tabs;
        current = it->parent;
    }
    return {};
}

QTextCharFormat Reader::charFormat(const QHash<QString, QString>& p, QTextCharFormat f) const
{
    const QString family = p.value(QStringLiteral("fo:font-family"), p.value(QStringLiteral("style:font-name")));
    if (!family.isEmpty()) {
        QString clean = family.section(QLatin1Char(','), 0, 0).trimmed();
        if (clean.size() >= 2 && (clean.startsWith(QLatin1Char('\'')) || clean.startsWith(QLatin1Char('"'))))
            clean = clean.mid(1, clean.size() - 2);
        setFontFamily(f, clean);
    }
    if (const std::optional<qreal> size = parseLength(p.value(QStringLiteral("fo:font-size"))); size && *size > 0)
        f.setFontPointSize(std::min(*size, 1638.0));
    const QString weight = p.value(QStringLiteral("fo:font-weight"));
    if (!weight.isEmpty())
        f.setFontWeight(weight == QLatin1String("bold") || weight.toInt() >= 600 ? QFont::Bold : QFont::Normal);
    const QString style = p.value(QStringLiteral("fo:font-style"));
    if (!style.isEmpty())
        f.setFontItalic(style == QLatin1String("italic") || style == QLatin1String("oblique"));
    const QString ul = p.value(QStringLiteral("style:text-underline-style"));
    if (!ul.isEmpty()) {
        int u = ul == QLatin1String("none") ? WPText::StyleNone : WPText::StyleSingle;
        if (u && p.value(QStringLiteral("style:text-underline-type")) == QLatin1String("double"))
            u = WPText::StyleDouble;
        else if (u && p.value(QStringLiteral("style:text-underline-width")) == QLatin1String("bold"))
            u = WPText::StyleThick;
        setUnderlineStyle(f, u);
    }
    const QString lt = p.value(QStringLiteral("style:text-line-through-style"));
    if (!lt.isEmpty()) {
        int s = lt == QLatin1String("none") ? WPText::StyleNone : WPText::StyleSingle;
        if (s && p.value(QStringLiteral("style:text-line-through-type")) == QLatin1String("double"))
            s = WPText::StyleDouble;
        setStrikeStyle(f, s);
    }
    const QColor color(p.value(QStringLiteral("fo:color")));
    if (color.isValid())
        f.setForeground(color);
    const QString bgText = p.value(QStringLiteral("fo:background-color"));
    const QColor bg(bgText);
    if (bg.isValid() && bgText != QLatin1String("transparent"))
        f.setBackground(bg);
    const QString position = p.value(QStringLiteral("style:text-position"));
    if (position.startsWith(QLatin1String("super")))
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (position.startsWith(QLatin1String("sub")) || position.startsWith(QLatin1Char('-')))
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    return f;
}

QTextBlockFormat Reader::blockFormat(const QString& styleName) const
{
    const QHash<QString, QString> p = resolved(styleName, false);
    QTextBlockFormat f;
    const QString align = p.value(QStringLiteral("fo:text-align"));
    if (align == QLatin1String("center"))
        f.setAlignment(Qt::AlignHCenter);
    else if (align == QLatin1String("end") || align == QLatin1String("right"))
        f.setAlignment(Qt::AlignRight);
    else if (align == QLatin1String("justify"))
        f.setAlignment(Qt::AlignJustify);
    const qreal head = parseLength(p.value(QStringLiteral("fo:margin-left"))).value_or(0);
    const qreal indent = parseLength(p.value(QStringLiteral("fo:text-indent"))).value_or(0);
    setIndents(f, head, head + indent, parseLength(p.value(QStringLiteral("fo:margin-right"))).value_or(0));
    setSpacing(f, parseLength(p.value(QStringLiteral("fo:margin-top"))).value_or(0),
               parseLength(p.value(QStringLiteral("fo:margin-bottom"))).value_or(0));
    const QString lh = p.value(QStringLiteral("fo:line-height"));
    if (lh.endsWith(QLatin1Char('%')))
        setLineMultiple(f, lh.chopped(1).toDouble() / 100.0);
    setTabStops(f, resolvedTabs(styleName));
    return f;
}

void Reader::emitLiteral(const QString& text, const QTextCharFormat& format)
{
    flushMarker(format);
    if (m_breakAfterBox) {
        m_breakAfterBox = false;
        m_pendingSpace = false;
        if (text != QString(QChar::LineSeparator))
            out().text(QString(QChar::LineSeparator), m_breakFormat);
    }
    if (m_pendingSpace && !m_atStart)
        out().text(QStringLiteral(" "), m_spaceFormat);
    m_pendingSpace = false;
    m_atStart = false;
    out().text(text, format);
}

void Reader::emitText(const QString& text, const QTextCharFormat& format)
{
    QString word;
    for (QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (!word.isEmpty())
                emitLiteral(word, format);
            word.clear();
            if (!m_pendingSpace) {
                m_pendingSpace = true;
                m_spaceFormat = format;
            }
        } else {
            word += c;
        }
    }
    if (!word.isEmpty())
        emitLiteral(word, format);
}

void Reader::readBlocks(QXmlStreamReader& x)
{
    if (!enter(x))
        return;
    while (x.readNextStartElement()) {
        const QStringView name = x.name();
        if (x.namespaceUri() == Ns::text && (name == QLatin1String("p") || name == QLatin1String("h")))
            readParagraph(x, WPText::ListNone, 0);
        else if (x.namespaceUri() == Ns::text && name == QLatin1String("list"))
            readList(x, QString());
        else if (x.namespaceUri() == Ns::table && name == QLatin1String("table"))
            readTable(x);
        else if (name == QLatin1String("section") || name == QLatin1String("index-body")
                 || name == QLatin1String("table-of-content") || name == QLatin1String("alphabetical-index")
                 || name == QLatin1String("illustration-index") || name == QLatin1String("bibliography"))
            readBlocks(x);
        else
            skip(x);
    }
    leave();
}

void Reader::readList(QXmlStreamReader& x, QString styleName, int level)
{
    if (!enter(x))
        return;
    const QString own = x.attributes().value(Ns::text, QLatin1String("style-name")).toString();
    if (!own.isEmpty())
        styleName = own;
    // A list inside an item is the style's next level: its own kind and
    // first number.
    const QList<ListLevel> levels = m_listLevels.value(styleName);
    const ListLevel style = levels.isEmpty() ? ListLevel() : levels.value(std::min<qsizetype>(level, levels.size() - 1));
    const int kind = style.kind;
    int number = style.start - 1;
    while (x.readNextStartElement()) {
        if (x.name() != QLatin1String("list-item") && x.name() != QLatin1String("list-header")) {
            skip(x);
            continue;
        }
        const bool header = x.name() == QLatin1String("list-header");
        bool ok = false;
        const int start = x.attributes().value(Ns::text, QLatin1String("start-value")).toInt(&ok);
        number = ok ? std::clamp(start, 0, 1'000'000) : number + (header ? 0 : 1);
        bool first = !header;
        if (!enter(x))
            return;
        while (x.readNextStartElement()) {
            if (x.name() == QLatin1String("p") || x.name() == QLatin1String("h")) {
                readParagraph(x, first ? kind : WPText::ListNone, number);
                first = false;
            } else if (x.name() == QLatin1String("list")) {
                readList(x, styleName, level + 1);
            } else {
                skip(x);
            }
        }
        leave();
    }
    leave();
}

void Reader::readParagraph(QXmlStreamReader& x, int listKind, int number)
{
    const QString styleName = x.attributes().value(Ns::text, QLatin1String("style-name")).toString();
    QTextBlockFormat block = blockFormat(styleName);
    const QTextCharFormat base = charFormat(resolved(styleName, true), QTextCharFormat());
    m_atStart = true;
    m_pendingSpace = false;
    m_breakAfterBox = false;
    if (listKind != WPText::ListNone) {
        block.setProperty(WPText::ListKind, listKind);
        if (headIndent(block) == 0)
            setIndents(block, WPText::kListHeadIndent, WPText::kListHeadIndent, tailIndent(block));
        if (tabStops(block).isEmpty())
            setTabStops(block, {{WPText::kListTab1, 0}, {WPText::kListTab2, 0}});
        // The marker takes the format of the item's first character.
        m_marker = markerFor(listKind, number);
    }
    readInline(x, base);
    flushMarker(base);
    out().endParagraph(block);
}

void Reader::readInline(QXmlStreamReader& x, const QTextCharFormat& format)
{
    if (!enter(x))
        return;
    while (!x.atEnd()) {
        const QXmlStreamReader::TokenType t = x.readNext();
        if (t == QXmlStreamReader::EndElement)
            break;
        if (t == QXmlStreamReader::Characters) {
            emitText(x.text().toString(), format);
            continue;
        }
        if (t != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = x.name();
        const QStringView ns = x.namespaceUri();
        if (ns == Ns::text && name == QLatin1String("span")) {
            const QString style = x.attributes().value(Ns::text, QLatin1String("style-name")).toString();
            readInline(x, charFormat(resolved(style, true), format));
        } else if (ns == Ns::text && name == QLatin1String("s")) {
            const int count = std::clamp(x.attributes().value(Ns::text, QLatin1String("c")).toInt(), 1, 1000);
            emitLiteral(QString(count, QLatin1Char(' ')), format);
            skip(x);
        } else if (ns == Ns::text && name == QLatin1String("tab")) {
            emitLiteral(QStringLiteral("\t"), format);
            skip(x);
        } else if (ns == Ns::text && name == QLatin1String("line-break")) {
            emitLiteral(QString(QChar::LineSeparator), format);
            skip(x);
        } else if (ns == Ns::text && name == QLatin1String("a")) {
            // A link: its runs carry the target.
            const QString href = x.attributes().value(Ns::xlink, QLatin1String("href")).toString().trimmed();
            QTextCharFormat link = format;
            if (!href.isEmpty() && !format.isAnchor()) {
                link.setAnchor(true);
                link.setAnchorHref(href);
            }
            readInline(x, link);
        } else if (ns == Ns::draw && name == QLatin1String("frame")) {
            readFrame(x, format);
        } else if (ns == Ns::text && name == QLatin1String("note")) {
            readNote(x, format);
        } else if (name == QLatin1String("annotation")) {
            ++m_attributes->notKept[QStringLiteral("comment")];
            skip(x);
        } else if (name == QLatin1String("tracked-changes") || name == QLatin1String("bookmark-start")
                   || name == QLatin1String("soft-page-break") || name == QLatin1String("sequence-decls")) {
            skip(x);
        } else {
            readInline(x, format); // links, fields and the like keep their text
        }
    }
    leave();
}

void Reader::readTable(QXmlStreamReader& x)
{
    if (!enter(x))
        return;
    ++m_tableDepth;
    const bool kept = out().beginTableAt(m_tableDepth, m_attributes->notKept);
    const QList<qreal> outerWidths = std::exchange(m_columnWidths, {});
    readRows(x, kept);
    if (kept) {
        if (std::any_of(m_columnWidths.cbegin(), m_columnWidths.cend(), [](qreal w) { return w > 0; }))
            out().setColumnWidths(m_columnWidths);
        if (m_tableDepth > 1)
            out().endNestedTable();
        else
            out().endTable();
    }
    m_columnWidths = outerWidths;
    --m_tableDepth;
    leave();
}

void Reader::readRows(QXmlStreamReader& x, bool kept)
{
    while (x.readNextStartElement()) {
        const QStringView name = x.name();
        if (name == QLatin1String("table-column") && kept) {
            const QXmlStreamAttributes a = x.attributes();
            const int repeated = std::clamp(a.value(Ns::table, QLatin1String("number-columns-repeated")).toInt(), 1,
                                            int(FormatSupport::kMaxColumns));
            const qreal width = m_styles.value(a.value(Ns::table, QLatin1String("style-name")).toString()).columnWidth;
            for (int i = 0; i < repeated && m_columnWidths.size() < FormatSupport::kMaxColumns; ++i)
                m_columnWidths.append(width);
            skip(x);
        } else if (name == QLatin1String("table-header-rows") || name == QLatin1String("table-rows")
            || name == QLatin1String("table-row-group") || name == QLatin1String("table-columns")
            || name == QLatin1String("table-header-columns") || name == QLatin1String("table-column-group")) {
            if (!enter(x))
                return;
            readRows(x, kept);
            leave();
        } else if (name == QLatin1String("table-row")) {
            if (!enter(x))
                return;
            while (x.readNextStartElement()) {
                if (x.name() != QLatin1String("table-cell") && x.name() != QLatin1String("covered-table-cell")) {
                    skip(x);
                    continue;
                }
                // A covered cell lies under its neighbour's span, which the
                // builder keeps free.
                if (kept && x.name() == QLatin1String("covered-table-cell")) {
                    skip(x);
                    continue;
                }
                // Cells of a table nested too deep join the outer cell.
                if (kept) {
                    out().beginCell();
                    const QXmlStreamAttributes a = x.attributes();
                    const int rows = a.value(Ns::table, QLatin1String("number-rows-spanned")).toInt();
                    const int columns = a.value(Ns::table, QLatin1String("number-columns-spanned")).toInt();
                    if (rows > 1 || columns > 1)
                        out().setCellSpan(std::max(rows, 1), std::max(columns, 1));
                    const QColor shade = m_styles.value(a.value(Ns::table, QLatin1String("style-name")).toString()).cellBackground;
                    if (shade.isValid())
                        out().setCellBackground(shade);
                }
                readBlocks(x);
                if (kept)
                    out().endCell();
            }
            if (kept)
                out().endRow();
            leave();
        } else {
            skip(x);
        }
    }
}

} // namespace Odt::detail

namespace Odt {

using detail::Reader;

bool looksLikeOdt(const QByteArray& data)
{
    // The package starts with its stored "mimetype" entry.
    return data.startsWith("PK\x03\x04") && data.mid(30, 8) == "mimetype"
        && data.mid(38, Ns::mimeType.size()) == QByteArray(Ns::mimeType.data(), Ns::mimeType.size());
}

bool read(const QByteArray& data, QTextDocument* into, WPDocAttributes* attributes, QString* error)
{
    const ZipPackage::Reader zip(data);
    if (!zip.isOpen() || !zip.contains(QStringLiteral("content.xml"))) {
        if (error)
            *error = QStringLiteral("The file is not an OpenDocument text.");
        return false;
    }
    WPDocAttributes local;
    WPDocAttributes* attrs = attributes ? attributes : &local;
    *attrs = WPDocAttributes();
    into->clear();
    Reader reader(zip, into, attrs);
    return reader.run(error);
}

} // namespace Odt
