#include "wordproc/WPDocumentSample.h"

#include "wordproc/WPDocument.h"
#include "wordproc/WPText.h"

#include <QBuffer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

namespace WPDocumentSample {

namespace {

const char* const kBody[] = {
    "Every plant in the greenhouse was measured on Monday and again on Friday. The seedlings by the south "
    "window grew almost twice as fast as those on the back bench, which gets direct sun for barely an hour "
    "in the afternoon.",
    "We watered every tray with the same amount at the same time each morning, so the difference has to "
    "come from light and warmth. A thermometer on each bench would tell the two apart next week.",
    "The tomatoes flowered first. Peppers followed three days later, and the basil has not flowered at all, "
    "which is what the seed packet promised for the first month.",
    "Next steps: move half of the back-bench trays to the window, keep the other half where they are, and "
    "measure both groups again after seven days.",
};

QTextCharFormat text(qreal points, bool bold = false)
{
    QTextCharFormat f;
    f.setFontFamilies({QStringLiteral("Helvetica Neue")});
    f.setFontPointSize(points);
    f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    f.setForeground(Qt::black);
    return f;
}

QTextBlockFormat paragraph(Qt::Alignment alignment = Qt::AlignLeft, qreal after = 6)
{
    QTextBlockFormat b;
    b.setAlignment(alignment);
    b.setBottomMargin(WPText::toPixels(after));
    return b;
}

QByteArray picturePng()
{
    QImage image(400, 160, QImage::Format_ARGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, 160);
    sky.setColorAt(0, QColor(120, 180, 230));
    sky.setColorAt(1, QColor(230, 240, 250));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 140, 70));
    p.drawEllipse(QRectF(-60, 110, 300, 120));
    p.setBrush(QColor(90, 160, 80));
    p.drawEllipse(QRectF(160, 100, 320, 140));
    p.setBrush(QColor(250, 210, 80));
    p.drawEllipse(QRectF(300, 20, 50, 50));
    p.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

void insertPicture(QTextDocument* doc, QTextCursor& c)
{
    const QByteArray png = picturePng();
    const QString name = QStringLiteral("wpimage:sample-1.png");
    doc->addResource(QTextDocument::ImageResource, QUrl(name), QImage::fromData(png, "PNG"));
    QTextImageFormat image;
    image.setName(name);
    image.setWidth(WPText::toPixels(300));
    image.setHeight(WPText::toPixels(120));
    image.setProperty(WPText::PictureData, png);
    image.setProperty(WPText::PictureFileName, QStringLiteral("image1.png"));
    image.setProperty(WPText::PictureWidthPt, 300.0);
    image.setProperty(WPText::PictureHeightPt, 120.0);
    c.insertImage(image);
}

void bullet(QTextCursor& c, const QString& item)
{
    QTextBlockFormat b = paragraph(Qt::AlignLeft, 2);
    b.setProperty(WPText::ListKind, int(WPText::ListBullet));
    b.setLeftMargin(WPText::toPixels(WPText::kListHeadIndent));
    b.setTextIndent(-WPText::toPixels(WPText::kListHeadIndent));
    b.setTabPositions({QTextOption::Tab(WPText::toPixels(WPText::kListTab1), QTextOption::LeftTab),
                       QTextOption::Tab(WPText::toPixels(WPText::kListTab2), QTextOption::LeftTab)});
    c.insertBlock(b, text(12));
    c.insertText(QStringLiteral("\t") + QChar(WPText::kBullet) + QStringLiteral("\t") + item);
}

} // namespace

void fill(WPDocument& document, int moreParagraphs)
{
    QTextDocument* doc = document.storage();
    doc->clear();
    QTextCursor c(doc);
    c.beginEditBlock();
    c.setBlockFormat(paragraph(Qt::AlignHCenter, 12));
    c.setCharFormat(text(24, true));
    c.insertText(QStringLiteral("Greenhouse Growth Report"));

    c.insertBlock(paragraph(Qt::AlignLeft, 6), text(16, true));
    c.insertText(QStringLiteral("What we measured"));
    c.insertBlock(paragraph(), text(12));
    c.insertText(QString::fromUtf8(kBody[0]));
    bullet(c, QStringLiteral("Height of every seedling, in centimetres"));
    bullet(c, QStringLiteral("Number of leaves on each plant"));
    bullet(c, QStringLiteral("Hours of direct sun on each bench"));

    c.insertBlock(paragraph(), text(12));
    QTextTableFormat tf;
    tf.setCellPadding(WPText::toPixels(4));
    tf.setBorder(1);
    tf.setBorderBrush(QColor(120, 120, 120));
    tf.setBorderCollapse(true);
    tf.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    QTextTable* table = c.insertTable(4, 3, tf);
    const char* const cells[4][3] = {
        {"Bench", "Monday (cm)", "Friday (cm)"},
        {"South window", "4.2", "7.9"},
        {"Middle", "3.9", "6.1"},
        {"Back", "4.0", "5.2"},
    };
    for (int r = 0; r < 4; ++r) {
        for (int col = 0; col < 3; ++col) {
            QTextCursor cell = table->cellAt(r, col).firstCursorPosition();
            cell.insertText(QString::fromLatin1(cells[r][col]), text(11, r == 0));
        }
    }
    c.movePosition(QTextCursor::End);
    c.insertBlock(paragraph(Qt::AlignHCenter), text(12));
    insertPicture(doc, c);
    c.insertBlock(paragraph(), text(12));
    c.insertText(QStringLiteral("The south window in the second week."));

    c.insertBlock(paragraph(Qt::AlignLeft, 6), text(16, true));
    c.insertText(QStringLiteral("What we saw"));
    const int total = 12 + qMax(0, moreParagraphs);
    for (int i = 0; i < total; ++i) {
        c.insertBlock(paragraph(Qt::AlignJustify), text(12));
        c.insertText(QString::fromUtf8(kBody[(i + 1) % 4]));
    }
    c.endEditBlock();
    document.setHeaderFooter(QString(), QStringLiteral("{page} / {pages}"));
    doc->clearUndoRedoStacks();
    document.setEdited(false);
}

} // namespace WPDocumentSample
