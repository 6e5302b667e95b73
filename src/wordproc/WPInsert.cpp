#include "wordproc/WPInsert.h"

#include "wordproc/WPCommands.h"
#include "wordproc/WPText.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextTable>
#include <QUrl>
#include <QUuid>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace WPInsert {

namespace {

constexpr int kMaxRows = 1000;
constexpr int kMaxCols = 63;

QTextCharFormat cellFormat(const QFont& font)
{
    QTextCharFormat f;
    WPCommands::putFont(f, font);
    f.setForeground(QColor(Qt::black));
    return f;
}

// Resolution a PNG states in its pHYs chunk (dots per inch), if any.
std::optional<qreal> pngDpi(const QByteArray& bytes)
{
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    if (!bytes.startsWith(signature))
        return std::nullopt;
    qsizetype at = 8;
    while (at + 8 <= bytes.size()) {
        const quint32 length = qFromBigEndian<quint32>(bytes.constData() + at);
        const QByteArray type = bytes.mid(at + 4, 4);
        if (type == "IDAT" || type == "IEND" || length > quint32(bytes.size()))
            return std::nullopt;
        if (type == "pHYs" && length >= 9 && at + 8 + 9 <= bytes.size()) {
            const char* d = bytes.constData() + at + 8;
            const quint32 perMetre = qFromBigEndian<quint32>(d);
            const bool metres = d[8] == 1;
            if (metres && perMetre > 0)
                return perMetre * 0.0254;
            return std::nullopt;
        }
        at += 12 + qsizetype(length);
    }
    return std::nullopt;
}

} // namespace

QTextTable* insertTable(QTextCursor& cursor, int rows, int cols)
{
    QTextDocument* doc = cursor.document();
    if (!doc)
        return nullptr;
    rows = std::clamp(rows, 1, kMaxRows);
    cols = std::clamp(cols, 1, kMaxCols);
    const QFont font = WPCommands::fontOf(WPCommands::currentAttributes(cursor));
    // The paragraph after the table is laid out like the one the table went
    // into (line height, spacing, alignment), though it is no list item and
    // starts no new page.
    QTextBlockFormat paragraph = cursor.blockFormat();
    paragraph.clearProperty(QTextFormat::ObjectIndex);
    paragraph.clearProperty(QTextFormat::PageBreakPolicy);

    QTextTableFormat format;
    format.setBorderCollapse(true);
    format.setBorder(WPText::toPixels(1));
    format.setBorderBrush(QColor::fromRgbF(0.45f, 0.45f, 0.45f));
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setCellPadding(WPText::toPixels(5));
    format.setCellSpacing(0);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    QList<QTextLength> widths;
    for (int c = 0; c < cols; ++c)
        widths.append(QTextLength(QTextLength::PercentageLength, 100.0 / cols));
    format.setColumnWidthConstraints(widths);

    cursor.beginEditBlock();
    cursor.removeSelectedText();
    // At the start of a paragraph that follows another one, the table takes
    // the place of the line break before it: Qt would otherwise leave an
    // empty paragraph in front of the table.
    int at = cursor.position();
    bool joinAfter = false;
    const QTextBlock block = cursor.block();
    if (cursor.atBlockStart() && block.previous().isValid()
        && doc->characterAt(at - 1) == QChar::ParagraphSeparator
        && cursor.currentFrame() == QTextCursor(block.previous()).currentFrame() && !cursor.currentTable()) {
        at -= 1;
        joinAfter = true;
    }
    QTextCursor edit(doc);
    edit.setPosition(at);
    QTextTable* table = edit.insertTable(rows, cols, format);

    QTextCharFormat plain = cellFormat(font);
    QTextCharFormat bold = plain;
    bold.setFontWeight(QFont::Bold);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            QTextTableCell cell = table->cellAt(r, c);
            QTextCursor in = cell.firstCursorPosition();
            in.setBlockFormat(QTextBlockFormat());
            in.setBlockCharFormat(plain);
            if (r == 0) {
                QTextTableCellFormat cf = cell.format().toTableCellFormat();
                cf.setBackground(QColor::fromRgbF(0.9f, 0.95f, 0.95f));
                cell.setFormat(cf);
                in.insertText(QStringLiteral("Column %1").arg(c + 1), bold);
            }
        }
    }
    const int after = table->lastPosition() + 1;
    if (joinAfter) {
        // The line break that ended the paragraph before now stands after
        // the table: drop it so the following text joins its old paragraph.
        QTextCursor tail(doc);
        tail.setPosition(after);
        if (tail.block().length() == 1 && tail.block().next().isValid())
            tail.deleteChar();
    }
    QTextCursor next(doc);
    next.setPosition(std::min(after, doc->characterCount() - 1));
    if (!next.currentTable())
        next.setBlockFormat(paragraph);
    if (next.block().length() == 1 && !next.currentTable()) {
        QTextCharFormat f;
        WPCommands::putFont(f, font);
        f.setForeground(QColor(Qt::black));
        next.setBlockCharFormat(f);
    }
    cursor.endEditBlock();
    // Typing goes on after the table, not into its heading.
    cursor.setPosition(table->lastPosition() + 1);
    return table;
}

std::optional<QSizeF> picturePointSize(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    QImage image;
    if (!reader.read(&image) || image.isNull() || image.width() <= 0 || image.height() <= 0)
        return std::nullopt;
    qreal dpiX = 72;
    qreal dpiY = 72;
    if (const std::optional<qreal> dpi = pngDpi(bytes)) {
        dpiX = dpiY = *dpi;
    } else if (!bytes.startsWith("\x89PNG")) {
        // Readers of other formats leave Qt's default when the file states none.
        const QImage fresh(1, 1, QImage::Format_RGB32);
        if (image.dotsPerMeterX() > 0 && image.dotsPerMeterX() != fresh.dotsPerMeterX())
            dpiX = image.dotsPerMeterX() * 0.0254;
        if (image.dotsPerMeterY() > 0 && image.dotsPerMeterY() != fresh.dotsPerMeterY())
            dpiY = image.dotsPerMeterY() * 0.0254;
    }
    // Files store dots per metre: 72 dpi comes back as 72.009.
    auto snap = [](qreal dpi) { return std::abs(dpi - std::round(dpi)) < 0.05 ? std::round(dpi) : dpi; };
    dpiX = snap(dpiX);
    dpiY = snap(dpiY);
    dpiX = std::clamp<qreal>(dpiX, 1, 10000);
    dpiY = std::clamp<qreal>(dpiY, 1, 10000);
    return QSizeF(image.width() * 72.0 / dpiX, image.height() * 72.0 / dpiY);
}

QSizeF fitPicture(const QSizeF& size, qreal textWidth)
{
    if (textWidth > 0 && size.width() > textWidth)
        return QSizeF(textWidth, size.height() * textWidth / size.width());
    return size;
}

QTextImageFormat pictureFormat(QTextDocument* document, const QByteArray& bytes, const QString& fileName,
                               const QSizeF& sizePt)
{
    const QString name = QStringLiteral("wpimage:") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    document->addResource(QTextDocument::ImageResource, QUrl(name), QImage::fromData(bytes));
    QTextImageFormat f;
    f.setName(name);
    f.setWidth(WPText::toPixels(sizePt.width()));
    f.setHeight(WPText::toPixels(sizePt.height()));
    f.setProperty(WPText::PictureData, bytes);
    f.setProperty(WPText::PictureFileName, fileName);
    f.setProperty(WPText::PictureWidthPt, sizePt.width());
    f.setProperty(WPText::PictureHeightPt, sizePt.height());
    return f;
}

bool insertPicture(QTextCursor& cursor, const QByteArray& bytes, const QString& fileName, qreal textWidth)
{
    if (!cursor.document())
        return false;
    const std::optional<QSizeF> size = picturePointSize(bytes);
    if (!size)
        return false;
    QTextImageFormat f = pictureFormat(cursor.document(), bytes, fileName, fitPicture(*size, textWidth));
    // The picture takes the typing format's font and colour, so text typed
    // after it continues in them.
    const QTextCharFormat around = WPCommands::withoutPicture(cursor.charFormat());
    QTextCharFormat merged = around;
    merged.merge(f);
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    cursor.insertText(QString(QChar::ObjectReplacementCharacter), merged);
    cursor.endEditBlock();
    return true;
}

void appendParagraph(QTextDocument* document, const QTextDocumentFragment& text)
{
    if (!document)
        return;
    QTextCharFormat plain;
    WPCommands::putFont(plain, WPCommands::defaultFont());
    QTextCursor c(document);
    c.movePosition(QTextCursor::End);
    c.beginEditBlock();
    if (c.block().length() > 1)
        c.insertBlock(QTextBlockFormat(), plain);
    c.insertFragment(text);
    c.insertBlock(QTextBlockFormat(), plain);
    c.endEditBlock();
}

} // namespace WPInsert
