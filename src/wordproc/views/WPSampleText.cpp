#include "wordproc/views/WPSampleText.h"

#include "wordproc/WPCommands.h"
#include "wordproc/WPDocument.h"
#include "wordproc/WPInsert.h"
#include "wordproc/WPLists.h"
#include "wordproc/views/PageTextView.h"
#include "wordproc/views/WPWindowController.h"

#include <QBuffer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

namespace {

QByteArray samplePicture()
{
    QImage image(360, 140, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, 140);
    sky.setColorAt(0, QColor(120, 180, 220));
    sky.setColorAt(1, QColor(230, 240, 245));
    p.fillRect(image.rect(), sky);
    p.setBrush(QColor(250, 210, 90));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(290, 45), 22, 22);
    p.setBrush(QColor(70, 130, 90));
    p.drawPolygon(QPolygonF({QPointF(0, 140), QPointF(120, 60), QPointF(230, 140)}));
    p.setBrush(QColor(50, 105, 75));
    p.drawPolygon(QPolygonF({QPointF(140, 140), QPointF(260, 80), QPointF(360, 140)}));
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void paragraph(QTextCursor& c, const QString& text, const QString& style = QString())
{
    if (c.block().length() > 1)
        c.insertBlock(QTextBlockFormat());
    QTextCharFormat f;
    WPCommands::putFont(f, WPCommands::styleFont(style));
    f.setForeground(WPCommands::styleColor(style));
    c.setBlockCharFormat(f);
    c.insertText(text, f);
}

} // namespace

namespace WPSampleText {

void fill(WPWindowController* window)
{
    QTextDocument* doc = window->wpDocument()->storage();
    QTextCursor c(doc);
    c.movePosition(QTextCursor::End);
    c.beginEditBlock();
    paragraph(c, QStringLiteral("Field Trip Report"), QStringLiteral("Title"));
    paragraph(c, QStringLiteral("Biology 101 \u00B7 Spring term"), QStringLiteral("Quote"));
    paragraph(c, QStringLiteral("Observations"), QStringLiteral("Heading 1"));
    paragraph(c, QStringLiteral("We walked the river path from the footbridge to the old mill and counted "
                                "the birds, plants and insects we met on the way. The morning was cool and "
                                "bright, and the water was higher than on our last visit."));
    const int listStart = c.position() + 1;
    paragraph(c, QStringLiteral("Grey heron near the weir"));
    paragraph(c, QStringLiteral("Marsh marigolds along the bank"));
    paragraph(c, QStringLiteral("Two kinds of dragonfly"));
    QTextCursor list(doc);
    list.setPosition(listStart);
    list.setPosition(c.position(), QTextCursor::KeepAnchor);
    WPLists::toggleList(list, WPText::ListBullet);
    c.movePosition(QTextCursor::End);
    paragraph(c, QStringLiteral("Counts"), QStringLiteral("Heading 2"));
    QTextCharFormat body;
    WPCommands::putFont(body, WPCommands::defaultFont());
    body.setForeground(QColor(Qt::black));
    c.insertBlock(QTextBlockFormat(), body);
    QTextTable* table = WPInsert::insertTable(c, 3, 3);
    const QStringList cells{QStringLiteral("Birds"), QStringLiteral("Plants"), QStringLiteral("Insects"),
                            QStringLiteral("14"), QStringLiteral("23"), QStringLiteral("9")};
    for (int i = 0; i < cells.size(); ++i) {
        QTextCursor cell = table->cellAt(1 + i / 3, i % 3).firstCursorPosition();
        cell.insertText(cells.at(i));
    }
    c.movePosition(QTextCursor::End);
    paragraph(c, QStringLiteral("The view from the mill:"));
    c.insertBlock(QTextBlockFormat());
    WPInsert::insertPicture(c, samplePicture(), QStringLiteral("mill.png"), window->textView()->pageSetup().textWidth());
    for (int i = 0; i < 9; ++i) {
        paragraph(c, QStringLiteral("Notes, part %1. The path narrows after the second stile, where the "
                                    "hawthorn hedge gives way to open meadow. We stopped there to record "
                                    "the temperature, the wind and the cloud cover, and to sketch the bend "
                                    "of the river for the map in the appendix.").arg(i + 1));
    }
    c.endEditBlock();
    doc->setModified(false);
    QTextCursor top(doc);
    window->textView()->setTextCursor(top);
    window->textView()->scrollArea()->verticalScrollBar()->setValue(0);
    window->updateCounts();
    window->updateSelectionState();
}

} // namespace WPSampleText
