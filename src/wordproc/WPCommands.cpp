#include "wordproc/WPCommands.h"

#include "wordproc/WPText.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace WPCommands {

namespace {

constexpr qreal kMinSize = 1;
constexpr qreal kMaxSize = 1638;

struct Run {
    int start;
    int end;
    QTextCharFormat format;
};

// The paragraphs a selection touches: the first and the last block. A
// selection that ends right at the start of a paragraph does not touch it.
std::pair<QTextBlock, QTextBlock> touchedBlocks(const QTextCursor& cursor)
{
    const QTextDocument* doc = cursor.document();
    const int s = cursor.selectionStart();
    const int e = cursor.selectionEnd();
    return {doc->findBlock(s), doc->findBlock(e > s ? e - 1 : e)};
}

void forEachBlock(const QTextBlock& first, const QTextBlock& last, const std::function<void(const QTextBlock&)>& fn)
{
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        fn(b);
        if (b == last)
            break;
    }
}

} // namespace

QFont defaultFont()
{
    static const bool hasHelvetica = QFontDatabase::hasFamily(QStringLiteral("Helvetica Neue"));
    QFont font(hasHelvetica ? QStringLiteral("Helvetica Neue") : QGuiApplication::font().family());
    font.setPointSizeF(12);
    return font;
}

QString familyName(const QString& listed)
{
    if (!listed.endsWith(QLatin1Char(']')))
        return listed;
    const qsizetype open = listed.lastIndexOf(QLatin1String(" ["));
    return open > 0 ? listed.left(open) : listed;
}

qreal pointSize(const QFont& font)
{
    if (font.pointSizeF() > 0)
        return font.pointSizeF();
    if (font.pixelSize() > 0)
        return WPText::toPoints(font.pixelSize());
    return 12;
}

QFont fontOf(const QTextCharFormat& format)
{
    QFont font = format.font().resolve(defaultFont());
    if (font.pointSizeF() <= 0 && font.pixelSize() <= 0)
        font.setPointSizeF(12);
    return font;
}

void putFont(QTextCharFormat& format, const QFont& font)
{
    format.clearProperty(QTextFormat::FontPixelSize);
    format.clearProperty(QTextFormat::FontStyleName);
    format.clearProperty(QTextFormat::FontSizeAdjustment);
    format.setFontFamilies(QStringList{font.family()});
    format.setFontPointSize(std::clamp(pointSize(font), kMinSize, kMaxSize));
    format.setFontWeight(font.weight());
    format.setFontItalic(font.italic());
}

int underlineStyle(const QTextCharFormat& format)
{
    if (format.hasProperty(WPText::UnderlineStyle))
        return format.intProperty(WPText::UnderlineStyle);
    return format.fontUnderline() ? WPText::StyleSingle : WPText::StyleNone;
}

int strikeStyle(const QTextCharFormat& format)
{
    if (format.hasProperty(WPText::StrikeStyle))
        return format.intProperty(WPText::StrikeStyle);
    return format.fontStrikeOut() ? WPText::StyleSingle : WPText::StyleNone;
}

QTextCharFormat withoutPicture(const QTextCharFormat& format)
{
    QTextCharFormat plain = format;
    for (int p : {int(QTextFormat::ObjectType), int(QTextFormat::ObjectIndex), int(QTextFormat::ImageName),
                  int(QTextFormat::ImageWidth), int(QTextFormat::ImageHeight), int(QTextFormat::ImageQuality),
                  int(WPText::PictureData), int(WPText::PictureFileName), int(WPText::PictureWidthPt),
                  int(WPText::PictureHeightPt)})
        plain.clearProperty(p);
    return plain;
}

QTextCharFormat formatAt(const QTextDocument* document, int position)
{
    const QTextBlock block = document->findBlock(position);
    if (!block.isValid())
        return {};
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (position >= f.position() && position < f.position() + f.length())
            return f.charFormat();
    }
    return block.charFormat();
}

QTextCharFormat currentAttributes(const QTextCursor& cursor)
{
    const QTextDocument* doc = cursor.document();
    if (!doc)
        return {};
    if (cursor.hasSelection() && cursor.selectionStart() < doc->characterCount() - 1)
        return formatAt(doc, cursor.selectionStart());
    return withoutPicture(cursor.charFormat());
}

Ranges selectionRanges(const QTextCursor& cursor)
{
    if (!cursor.hasSelection())
        return {};
    return {Range{cursor.selectionStart(), cursor.selectionEnd()}};
}

void changeChars(QTextCursor& cursor, const Ranges& ranges, const CharChange& change)
{
    QTextDocument* doc = cursor.document();
    if (!doc)
        return;
    const bool any = std::any_of(ranges.begin(), ranges.end(), [](const Range& r) { return r.end > r.start; });
    if (!any) {
        QTextCharFormat typing = withoutPicture(cursor.charFormat());
        change(typing);
        cursor.setCharFormat(typing);
        return;
    }
    const int length = doc->characterCount() - 1;
    QTextCursor edit(doc);
    edit.beginEditBlock();
    for (const Range& range : ranges) {
        const int start = std::clamp(range.start, 0, length);
        const int end = std::clamp(range.end, 0, length);
        if (end <= start)
            continue;
        // Collect first: setting formats merges and splits fragments.
        QList<Run> runs;
        QList<int> emptyBlocks;
        QList<int> blockStarts;
        // A range that runs to the end also takes an empty last paragraph:
        // it is where typing at the end goes.
        const auto inRange = [&](const QTextBlock& b) {
            return b.position() < end || (end == length && b.position() == end && b.length() == 1);
        };
        for (QTextBlock b = doc->findBlock(start); b.isValid() && inRange(b); b = b.next()) {
            if (b.length() == 1) {
                if (b.position() >= start)
                    emptyBlocks.append(b.position());
                continue;
            }
            if (b.position() >= start)
                blockStarts.append(b.position());
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                const int s = std::max(f.position(), start);
                const int e = std::min(f.position() + f.length(), end);
                if (s < e)
                    runs.append({s, e, f.charFormat()});
            }
        }
        for (Run& run : runs) {
            change(run.format);
            edit.setPosition(run.start);
            edit.setPosition(run.end, QTextCursor::KeepAnchor);
            edit.setCharFormat(run.format);
        }
        for (int position : emptyBlocks) {
            edit.setPosition(position);
            QTextCharFormat f = edit.block().charFormat();
            change(f);
            edit.setBlockCharFormat(f);
        }
        // A paragraph's own format follows its text, so that it does not
        // come back when the text is deleted.
        for (int position : blockStarts) {
            edit.setPosition(position);
            edit.setBlockCharFormat(withoutPicture(formatAt(doc, position)));
        }
    }
    edit.endEditBlock();
}

void changeFont(QTextCursor& cursor, const Ranges& ranges, const FontChange& change)
{
    changeChars(cursor, ranges, [&](QTextCharFormat& format) { putFont(format, change(fontOf(format))); });
}

void setFamily(QTextCursor& cursor, const QString& family)
{
    if (family.trimmed().isEmpty())
        return;
    changeFont(cursor, selectionRanges(cursor), [&](QFont f) {
        f.setFamilies({family});
        return f;
    });
}

void setSize(QTextCursor& cursor, qreal points)
{
    if (!(points >= kMinSize && points <= kMaxSize))
        return;
    changeFont(cursor, selectionRanges(cursor), [&](QFont f) {
        f.setPointSizeF(points);
        return f;
    });
}

void stepSize(QTextCursor& cursor, int step)
{
    changeFont(cursor, selectionRanges(cursor), [&](QFont f) {
        f.setPointSizeF(std::clamp(pointSize(f) + step, kMinSize, kMaxSize));
        return f;
    });
}

void toggleTrait(QTextCursor& cursor, Trait trait)
{
    const QFont first = fontOf(currentAttributes(cursor));
    const bool has = trait == Trait::Bold ? first.bold() : first.italic();
    changeFont(cursor, selectionRanges(cursor), [&](QFont f) {
        if (trait == Trait::Bold)
            f.setWeight(has ? QFont::Normal : QFont::Bold);
        else
            f.setItalic(!has);
        return f;
    });
}

void toggleUnderline(QTextCursor& cursor, bool on)
{
    changeChars(cursor, selectionRanges(cursor), [on](QTextCharFormat& f) {
        if (on) {
            f.clearProperty(WPText::UnderlineStyle);
            f.clearProperty(QTextFormat::TextUnderlineStyle);
            f.clearProperty(QTextFormat::FontUnderline);
        } else {
            f.setProperty(WPText::UnderlineStyle, int(WPText::StyleSingle));
            f.setFontUnderline(true);
        }
    });
}

void toggleStrike(QTextCursor& cursor, bool on)
{
    changeChars(cursor, selectionRanges(cursor), [on](QTextCharFormat& f) {
        if (on) {
            f.clearProperty(WPText::StrikeStyle);
            f.clearProperty(QTextFormat::FontStrikeOut);
        } else {
            f.setProperty(WPText::StrikeStyle, int(WPText::StyleSingle));
            f.setFontStrikeOut(true);
        }
    });
}

void setForeground(QTextCursor& cursor, const std::optional<QColor>& color)
{
    changeChars(cursor, selectionRanges(cursor), [&](QTextCharFormat& f) {
        if (color)
            f.setForeground(*color);
        else
            f.clearForeground();
    });
}

void setHighlight(QTextCursor& cursor, const std::optional<QColor>& color)
{
    changeChars(cursor, selectionRanges(cursor), [&](QTextCharFormat& f) {
        if (color)
            f.setBackground(*color);
        else
            f.clearBackground();
    });
}

void changeParagraphs(QTextCursor& cursor, const ParagraphChange& change)
{
    if (!cursor.document())
        return;
    const auto [first, last] = touchedBlocks(cursor);
    QTextCursor edit(cursor.document());
    edit.beginEditBlock();
    forEachBlock(first, last, [&](const QTextBlock& b) {
        QTextBlockFormat f = b.blockFormat();
        change(f);
        edit.setPosition(b.position());
        edit.setBlockFormat(f);
    });
    edit.endEditBlock();
}

void setAlignment(QTextCursor& cursor, Qt::Alignment alignment)
{
    changeParagraphs(cursor, [&](QTextBlockFormat& f) { f.setAlignment(alignment); });
}

void setLineSpacing(QTextCursor& cursor, qreal multiple)
{
    if (!(multiple > 0 && multiple <= 10))
        return;
    changeParagraphs(cursor, [&](QTextBlockFormat& f) {
        f.setLineHeight(multiple * 100, QTextBlockFormat::ProportionalHeight);
    });
}

qreal lineSpacing(const QTextBlockFormat& format)
{
    if (format.lineHeightType() == QTextBlockFormat::ProportionalHeight && format.lineHeight() > 0)
        return format.lineHeight() / 100;
    return 1;
}

void shiftIndent(QTextCursor& cursor, qreal points)
{
    changeParagraphs(cursor, [&](QTextBlockFormat& f) {
        f.setLeftMargin(std::max<qreal>(0, f.leftMargin() + WPText::toPixels(points)));
    });
}

void setIndents(QTextCursor& cursor, qreal head, qreal firstLine)
{
    if (!std::isfinite(head) || !std::isfinite(firstLine))
        return;
    head = std::clamp<qreal>(head, 0, 14400);
    firstLine = std::clamp<qreal>(firstLine, 0, 14400);
    changeParagraphs(cursor, [&](QTextBlockFormat& f) {
        f.setLeftMargin(WPText::toPixels(head));
        f.setTextIndent(WPText::toPixels(firstLine - head));
    });
}

QStringList styleNames()
{
    return {QStringLiteral("Body"),      QStringLiteral("Title"),     QStringLiteral("Heading 1"),
            QStringLiteral("Heading 2"), QStringLiteral("Heading 3"), QStringLiteral("Quote")};
}

QFont styleFont(const QString& name)
{
    QFont f = defaultFont();
    struct Style {
        const char* name;
        qreal size;
    };
    static const Style headings[] = {{"Title", 26}, {"Heading 1", 20}, {"Heading 2", 16}, {"Heading 3", 13}};
    for (const Style& s : headings) {
        if (name == QLatin1String(s.name)) {
            f.setPointSizeF(s.size);
            f.setWeight(QFont::Bold);
            return f;
        }
    }
    if (name == QLatin1String("Quote"))
        f.setItalic(true);
    return f;
}

QColor styleColor(const QString& name)
{
    return name == QLatin1String("Quote") ? QColor(0x55, 0x55, 0x55) : QColor(Qt::black);
}

void applyStyle(QTextCursor& cursor, const QString& name)
{
    QTextDocument* doc = cursor.document();
    if (!doc)
        return;
    const QFont font = styleFont(name);
    const QColor color = styleColor(name);
    const auto [first, last] = touchedBlocks(cursor);
    const int start = first.position();
    int end = last.position() + last.length() - 1;
    const int length = doc->characterCount() - 1;
    const bool lastParagraph = !last.next().isValid();
    if (end <= start && lastParagraph) {
        // An empty last paragraph: only what is typed next.
        QTextCharFormat typing = withoutPicture(cursor.charFormat());
        putFont(typing, font);
        cursor.setCharFormat(typing);
        return;
    }
    const auto restyle = [&](QTextCharFormat& f) {
        putFont(f, font);
        f.setForeground(color);
    };
    if (end <= start) {
        // An empty paragraph between others.
        QTextCursor edit(doc);
        edit.setPosition(start);
        QTextCharFormat f = first.charFormat();
        restyle(f);
        edit.setBlockCharFormat(f);
    } else {
        // A selection that runs to the end takes the empty paragraph there.
        if (cursor.selectionEnd() == length)
            end = length;
        changeChars(cursor, {Range{start, end}}, restyle);
    }
    if (!cursor.hasSelection()) {
        QTextCharFormat typing = withoutPicture(cursor.charFormat());
        restyle(typing);
        cursor.setCharFormat(typing);
    }
}

} // namespace WPCommands
