#include "wordproc/WPLists.h"

#include "wordproc/WPCommands.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

namespace WPLists {

namespace {
constexpr int kMaxMarker = 12;
} // namespace

QString marker(WPText::ListKindValue kind, int number)
{
    if (kind == WPText::ListNumber)
        return QString::number(number) + QLatin1Char('.');
    return QString(QChar(WPText::kBullet));
}

QString markerRun(WPText::ListKindValue kind, int number)
{
    return QLatin1Char('\t') + marker(kind, number) + QLatin1Char('\t');
}

WPText::ListKindValue kindOf(const QTextBlockFormat& format)
{
    const int kind = format.intProperty(WPText::ListKind);
    return kind == WPText::ListBullet || kind == WPText::ListNumber ? WPText::ListKindValue(kind) : WPText::ListNone;
}

void makeListParagraph(QTextBlockFormat& format, WPText::ListKindValue kind)
{
    if (kind == WPText::ListNone) {
        format.clearProperty(WPText::ListKind);
        format.setLeftMargin(0);
        format.setTextIndent(0);
        format.clearProperty(QTextFormat::TabPositions);
        return;
    }
    format.setProperty(WPText::ListKind, int(kind));
    format.setLeftMargin(WPText::toPixels(WPText::kListHeadIndent));
    format.setTextIndent(-WPText::toPixels(WPText::kListHeadIndent));
    format.setTabPositions({QTextOption::Tab(WPText::toPixels(WPText::kListTab1), QTextOption::LeftTab),
                            QTextOption::Tab(WPText::toPixels(WPText::kListTab2), QTextOption::LeftTab)});
}

int oldMarkerLength(const QTextBlock& block)
{
    if (kindOf(block.blockFormat()) == WPText::ListNone)
        return 0;
    const QString text = block.text();
    if (!text.startsWith(QLatin1Char('\t')))
        return 0;
    const int span = std::min<int>(text.size() - 1, kMaxMarker);
    const int second = text.indexOf(QLatin1Char('\t'), 1);
    return second >= 1 && second < 1 + span ? second + 1 : 0;
}

void toggleList(QTextCursor& cursor, WPText::ListKindValue kind)
{
    QTextDocument* doc = cursor.document();
    if (!doc || kind == WPText::ListNone)
        return;
    const int s = cursor.selectionStart();
    const int e = cursor.selectionEnd();
    const QTextBlock first = doc->findBlock(s);
    const QTextBlock last = doc->findBlock(e > s ? e - 1 : e);
    const QFont font = WPCommands::fontOf(WPCommands::currentAttributes(cursor));

    QList<QTextBlock> blocks;
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        blocks.append(b);
        if (b == last)
            break;
    }
    // An empty last paragraph holds no character: it is where the next
    // paragraph would start, so it always gets a fresh first item.
    const bool emptyEnd = blocks.size() == 1 && first.length() == 1 && !first.next().isValid();
    const bool removing = !emptyEnd && std::all_of(blocks.begin(), blocks.end(), [&](const QTextBlock& b) {
        return b.length() > 1 && kindOf(b.blockFormat()) == kind;
    });

    QTextCursor edit(doc);
    edit.beginEditBlock();
    // Last paragraph first, so the positions of the earlier ones stay put.
    for (int i = int(blocks.size()) - 1; i >= 0; --i) {
        const QTextBlock b = blocks.at(i);
        if (const int old = oldMarkerLength(b)) {
            const QTextCharFormat typed = WPCommands::withoutPicture(WPCommands::formatAt(doc, b.position()));
            edit.setPosition(b.position());
            edit.setPosition(b.position() + old, QTextCursor::KeepAnchor);
            edit.removeSelectedText();
            // An item that held only its marker stays in the marker's format.
            if (b.length() == 1)
                edit.setBlockCharFormat(typed);
        }
        QTextCharFormat markerFormat;
        if (b.length() > 1) {
            markerFormat = WPCommands::withoutPicture(WPCommands::formatAt(doc, b.position()));
        } else {
            WPCommands::putFont(markerFormat, font);
            if (emptyEnd)
                markerFormat.setForeground(QColor(Qt::black));
        }
        QTextBlockFormat format = b.blockFormat();
        makeListParagraph(format, removing ? WPText::ListNone : kind);
        edit.setPosition(b.position());
        edit.setBlockFormat(format);
        if (!removing) {
            edit.setPosition(b.position());
            edit.insertText(markerRun(kind, i + 1), markerFormat);
            edit.setBlockCharFormat(markerFormat);
        }
    }
    edit.endEditBlock();

    const QTextBlock end = blocks.constLast();
    cursor.setPosition(end.position() + end.length() - 1);
}

bool returnInList(QTextCursor& cursor)
{
    QTextDocument* doc = cursor.document();
    if (!doc || cursor.hasSelection())
        return false;
    const QTextBlock block = cursor.block();
    const WPText::ListKindValue kind = kindOf(block.blockFormat());
    const int markerLength = oldMarkerLength(block);
    if (kind == WPText::ListNone || markerLength == 0 || cursor.positionInBlock() < markerLength)
        return false;

    QTextCursor edit(doc);
    edit.beginEditBlock();
    if (block.length() - 1 == markerLength) {
        // An empty item: Return ends the list here.
        const QTextCharFormat typed = WPCommands::withoutPicture(WPCommands::formatAt(doc, block.position()));
        edit.setPosition(block.position());
        edit.setPosition(block.position() + markerLength, QTextCursor::KeepAnchor);
        edit.removeSelectedText();
        QTextBlockFormat format = block.blockFormat();
        makeListParagraph(format, WPText::ListNone);
        edit.setBlockFormat(format);
        edit.setBlockCharFormat(typed);
        edit.endEditBlock();
        cursor.setPosition(block.position());
        return true;
    }
    bool numbered = false;
    int number = block.text().mid(1, markerLength - 2).chopped(1).toInt(&numbered);
    if (!numbered)
        number = 0;
    const QTextCharFormat markerFormat = WPCommands::withoutPicture(WPCommands::formatAt(doc, block.position()));
    edit.setPosition(cursor.position());
    edit.insertBlock(block.blockFormat(), edit.charFormat());
    edit.insertText(markerRun(kind, number + 1), markerFormat);
    const int caret = edit.position();
    // The numbered items after it count on from the new one.
    if (kind == WPText::ListNumber) {
        int next = number + 2;
        for (QTextBlock b = edit.block().next(); b.isValid() && kindOf(b.blockFormat()) == kind; b = b.next()) {
            const int old = oldMarkerLength(b);
            if (old == 0)
                break;
            edit.setPosition(b.position() + 1);
            edit.setPosition(b.position() + old - 1, QTextCursor::KeepAnchor);
            edit.insertText(marker(kind, next++));
        }
    }
    edit.endEditBlock();
    cursor.setPosition(caret);
    return true;
}

} // namespace WPLists
