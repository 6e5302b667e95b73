#pragma once

// Shared by the format tests: a sample document using everything the
// formats carry, and a plain-text description of a document to compare.
#include "wordproc/WPText.h"
#include "wordproc/formats/FormatSupport.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QStringList>
#include <QTextDocument>
#include <QTextTable>
#include <cmath>

namespace FormatTest {

enum Carry : unsigned {
    Text = 0,
    Fonts = 1,          // family and size
    Traits = 2,         // bold, italic, single underline and strike
    LineStyles = 4,     // double and thick underline, double strike
    Colors = 8,
    Paragraphs = 16,    // alignment, indents, spacing, line height, tabs
    Lists = 32,         // list kind of list paragraphs
    Tables = 64,
    Pictures = 128,     // picture bytes and size
    All = 0xFFFF,
};

inline QByteArray pngBytes(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(color);
    QPainter p(&image);
    p.fillRect(0, 0, w / 2, h / 2, Qt::black);
    p.end();
    QByteArray out;
    QBuffer b(&out);
    b.open(QIODevice::WriteOnly);
    image.save(&b, "PNG");
    return out;
}

inline QTextCharFormat run(const QString& family, qreal size, bool bold = false, bool italic = false)
{
    QTextCharFormat f;
    FormatSupport::setFontFamily(f, family);
    f.setFontPointSize(size);
    if (bold)
        f.setFontWeight(QFont::Bold);
    if (italic)
        f.setFontItalic(true);
    return f;
}

// A document with every property a format may carry.
inline void fillSample(QTextDocument* doc)
{
    using namespace FormatSupport;
    doc->clear();
    QTextCursor c(doc);
    QTextBlockFormat title;
    title.setAlignment(Qt::AlignHCenter);
    setSpacing(title, 6, 12);
    c.setBlockFormat(title);
    c.insertText(QStringLiteral("Quarterly report"), run(QStringLiteral("Liberation Serif"), 26, true));

    QTextBlockFormat body;
    setIndents(body, 18, 36, 9);
    setLineMultiple(body, 1.5);
    setTabStops(body, {{72, QTextOption::LeftTab}, {216, QTextOption::RightTab}});
    c.insertBlock(body);
    c.insertText(QStringLiteral("Plain, "), run(QStringLiteral("Liberation Sans"), 12));
    c.insertText(QStringLiteral("italic"), run(QStringLiteral("Liberation Sans"), 12, false, true));
    QTextCharFormat under = run(QStringLiteral("Liberation Sans"), 12);
    setUnderlineStyle(under, WPText::StyleSingle);
    c.insertText(QStringLiteral(" under"), under);
    QTextCharFormat dbl = run(QStringLiteral("Liberation Sans"), 12);
    setUnderlineStyle(dbl, WPText::StyleDouble);
    c.insertText(QStringLiteral(" double"), dbl);
    QTextCharFormat strike = run(QStringLiteral("Liberation Sans"), 12);
    setStrikeStyle(strike, WPText::StyleSingle);
    c.insertText(QStringLiteral(" struck"), strike);
    QTextCharFormat red = run(QStringLiteral("Liberation Sans"), 14);
    red.setForeground(QColor(200, 20, 30));
    red.setBackground(QColor(255, 255, 0));
    c.insertText(QStringLiteral(" red\ttab"), red);
    c.insertText(QStringLiteral(" Grüße — ½ “quotes” 日本 😀 {braces} \\back"), run(QStringLiteral("Liberation Sans"), 12));

    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    c.insertBlock(right);
    c.insertText(QStringLiteral("Right aligned"), run(QStringLiteral("Liberation Sans"), 10));

    for (int kind : {int(WPText::ListBullet), int(WPText::ListNumber)}) {
        for (int n = 1; n <= 2; ++n) {
            QTextBlockFormat item;
            item.setProperty(WPText::ListKind, kind);
            setIndents(item, WPText::kListHeadIndent, 0, 0);
            setTabStops(item, {{WPText::kListTab1, 0}, {WPText::kListTab2, 0}});
            c.insertBlock(item);
            c.insertText(markerFor(kind, n) + QStringLiteral("Item %1").arg(n), run(QStringLiteral("Liberation Sans"), 12));
        }
    }

    c.insertBlock(QTextBlockFormat());
    c.insertText(QStringLiteral("Picture: "), run(QStringLiteral("Liberation Sans"), 12));
    Picture p;
    p.data = pngBytes(40, 20, QColor(10, 120, 200));
    p.fileName = QStringLiteral("chart.png");
    p.sizePt = QSizeF(80, 40);
    insertPicture(c, p, run(QStringLiteral("Liberation Sans"), 12));

    c.insertBlock(QTextBlockFormat());
    c.insertText(QStringLiteral("Table follows"), run(QStringLiteral("Liberation Sans"), 12));
    c.insertBlock(QTextBlockFormat());
    QTextTable* table = c.insertTable(2, 3);
    for (int r = 0; r < 2; ++r)
        for (int col = 0; col < 3; ++col) {
            QTextCursor cell = table->cellAt(r, col).firstCursorPosition();
            cell.insertText(QStringLiteral("r%1c%2").arg(r).arg(col), run(QStringLiteral("Liberation Sans"), 12, r == 0));
        }
    c = table->lastCursorPosition();
    c.movePosition(QTextCursor::NextBlock);
    c.insertText(QStringLiteral("After the table"), run(QStringLiteral("Liberation Sans"), 12));
}

inline QString num(qreal v)
{
    const qreal r = std::round(v * 10) / 10;
    return QString::number(r == 0 ? 0 : r);
}

inline QString describeBlock(const WPTextModel::Paragraph& paragraph, unsigned carry)
{
    using namespace FormatSupport;
    QStringList parts;
    const WPTextModel::ParagraphStyle& f = paragraph.style;
    if (carry & Paragraphs) {
        const Qt::Alignment a = f.alignment;
        parts << QStringLiteral("align=%1").arg(a & Qt::AlignHCenter ? "c" : a & Qt::AlignRight ? "r" : a & Qt::AlignJustify ? "j" : "l");
        parts << QStringLiteral("ind=%1/%2/%3").arg(num(f.headIndent), num(f.firstLineHeadIndent), num(f.tailIndent));
        parts << QStringLiteral("sp=%1/%2 lm=%3").arg(num(f.spaceBefore), num(f.spaceAfter), num(f.lineHeightMultiple));
        QStringList tabs;
        for (qsizetype i = 0; i < f.tabStops.size(); ++i)
            tabs << QStringLiteral("%1:%2").arg(num(f.tabStops.at(i))).arg(f.tabKinds.value(i, 0));
        parts << QStringLiteral("tabs=[%1]").arg(tabs.join(QLatin1Char(',')));
    }
    if (carry & Lists)
        parts << QStringLiteral("list=%1").arg(f.listKind == WPText::ListBullet || f.listKind == WPText::ListNumber ? f.listKind : 0);
    QString runs;
    for (const WPTextModel::Run& s : writtenRuns(paragraph)) {
        if (s.picture) {
            if (carry & Pictures) {
                const Picture p = pictureOf(*s.picture);
                const QImage img = QImage::fromData(p.data);
                runs += QStringLiteral("[IMG %1x%2 %3x%4pt]").arg(img.width()).arg(img.height()).arg(num(p.sizePt.width()), num(p.sizePt.height()));
            }
            continue;
        }
        QStringList props;
        if (carry & Fonts)
            props << (s.defaultFamily ? QString() : s.family) << num(s.defaultSize ? 0 : s.pointSize);
        if (carry & Traits) {
            if (s.bold)
                props << QStringLiteral("b");
            if (s.italic)
                props << QStringLiteral("i");
            if (s.underline)
                props << QStringLiteral("u%1").arg((carry & LineStyles) ? s.underline : 1);
            if (s.strike)
                props << QStringLiteral("s%1").arg((carry & LineStyles) ? s.strike : 1);
        }
        if (carry & Colors) {
            if (s.foreground.isValid())
                props << QStringLiteral("fg") + s.foreground.name();
            if (s.background.isValid())
                props << QStringLiteral("bg") + s.background.name();
        }
        runs += QStringLiteral("[%1|%2]").arg(s.text, props.join(QLatin1Char(' ')));
    }
    return parts.join(QLatin1Char(' ')) + QStringLiteral(" ") + runs;
}

// Adjacent runs of equal properties merge: [ab|x][cd|x] -> [abcd|x].
inline QString mergeRuns(QString text)
{
    static const QRegularExpression pair(QStringLiteral("\\[([^|\\]]*)\\|([^\\]]*)\\]\\[([^|\\]]*)\\|\\2\\]"));
    for (int guard = 0; guard < 1000; ++guard) {
        const QRegularExpressionMatch m = pair.match(text);
        if (!m.hasMatch())
            break;
        text.replace(m.capturedStart(), m.capturedLength(),
                     QStringLiteral("[%1%2|%3]").arg(m.captured(1), m.captured(3), m.captured(2)));
    }
    return text;
}

// A table as lines: "TABLE 2x2", then each cell's paragraphs; a table in a
// cell as "TABLE RxC" in the cell's place with its own cells below it.
inline void describeTable(const WPTextModel::Table& table, unsigned carry, const QString& indent, QStringList& out)
{
    for (const WPTextModel::TableCell& cell : table.cells) {
        const QString at = indent + QStringLiteral("  cell %1,%2: ").arg(cell.row).arg(cell.column);
        for (const WPTextModel::Paragraph& p : cell.paragraphs) {
            if (p.table) {
                out << at + QStringLiteral("TABLE %1x%2").arg(p.table->rows).arg(p.table->columns);
                describeTable(*p.table, carry, indent + QStringLiteral("    "), out);
                continue;
            }
            out << at + mergeRuns(describeBlock(p, carry & ~Paragraphs));
        }
    }
}

inline QStringList describe(const QTextDocument& doc, unsigned carry)
{
    QStringList out;
    for (const WPTextModel::Part& part : WPTextModel::parts(doc)) {
        if (const auto* paragraph = std::get_if<WPTextModel::Paragraph>(&part)) {
            out << mergeRuns(describeBlock(*paragraph, carry));
            continue;
        }
        const WPTextModel::Table& table = std::get<WPTextModel::Table>(part);
        if (!(carry & Tables)) {
            // Plain text: a row per line, cells separated by tabs.
            QList<QStringList> rows(table.rows, QStringList(table.columns));
            for (const WPTextModel::TableCell& cell : table.cells) {
                QStringList texts;
                for (const WPTextModel::Paragraph& p : WPTextModel::flattened(cell.paragraphs))
                    texts << p.text();
                rows[cell.row][cell.column] = texts.join(QLatin1Char(' '));
            }
            for (const QStringList& cells : std::as_const(rows))
                out << QStringLiteral(" [%1|]").arg(cells.join(QLatin1Char('\t')));
            continue;
        }
        out << QStringLiteral("TABLE %1x%2").arg(table.rows).arg(table.columns);
        describeTable(table, carry, QString(), out);
    }
    return out;
}

} // namespace FormatTest
