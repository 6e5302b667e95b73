#include "LongDocument.h"

#include "wordproc/WPTextModel.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTextDocument>

using namespace WPTextModel;

QByteArray makePicture(int n)
{
    QImage img(320, 200, QImage::Format_RGB32);
    img.fill(QColor::fromHsv((n * 37) % 360, 120, 230));
    QPainter p(&img);
    for (int i = 0; i < 20; ++i)
        p.drawLine(0, i * 10, 320, 200 - i * 7 + n);
    p.end();
    QByteArray out;
    QBuffer b(&out);
    b.open(QIODevice::WriteOnly);
    img.save(&b, "PNG");
    return out;
}

namespace {

QString words(int seed, int count)
{
    static const char* vocabulary[] = {"the", "study", "of", "plants", "shows", "that", "light", "and", "water",
                                       "shape", "growth", "in", "ways", "we", "measure", "every", "season",
                                       "results", "vary", "across", "regions", "because", "soil", "differs"};
    constexpr int n = int(sizeof vocabulary / sizeof *vocabulary);
    QString s;
    for (int i = 0; i < count; ++i) {
        if (i)
            s += QLatin1Char(' ');
        s += QLatin1String(vocabulary[(seed * 7 + i * 13) % n]);
    }
    return s;
}

Run run(const QString& text)
{
    Run r;
    r.text = text;
    r.family = QStringLiteral("Helvetica Neue");
    r.pointSize = 12;
    return r;
}

} // namespace

void makeLongDocument(QTextDocument* doc)
{
    Builder b(doc);
    int pictures = 0;
    int tables = 0;
    for (int i = 0; i < 2000; ++i) {
        Paragraph p;
        if (i % 10 == 3) {
            p.style.listKind = WPText::ListBullet;
            p.style.headIndent = WPText::kListHeadIndent;
            p.style.tabStops = {WPText::kListTab1, WPText::kListTab2};
            p.runs.append(run(QStringLiteral("\t\u2022\t") + words(i, 50)));
        } else {
            Run plain = run(words(i, 30) + QLatin1Char(' '));
            Run bold = run(words(i + 1, 10) + QLatin1Char(' '));
            bold.bold = true;
            Run coloured = run(words(i + 2, 10));
            coloured.italic = true;
            coloured.foreground = QColor(0x20, 0x40, 0x80);
            p.runs = {plain, bold, coloured};
            if (i % 7 == 0)
                p.style.alignment = Qt::AlignJustify;
        }
        b.addParagraph(p);
        if (i % 50 == 25 && pictures < 40) {
            Paragraph pic;
            Run r;
            r.text = QString(QChar(0xFFFC));
            r.picture = Picture{makePicture(pictures++), QString(), QSizeF(320, 200), QImage()};
            pic.runs = {r};
            b.addParagraph(pic);
        }
        if (i % 100 == 50 && tables < 20) {
            ++tables;
            Table t;
            t.rows = 6;
            t.columns = 4;
            for (int r = 0; r < t.rows; ++r)
                for (int c = 0; c < t.columns; ++c)
                    t.cells.append(TableCell{r, c, 1, 1, {}, {Paragraph{{}, {run(words(r + c, 3))}, {}}}});
            b.addTable(t);
        }
    }
}
