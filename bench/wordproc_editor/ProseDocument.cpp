#include "ProseDocument.h"

#include "LongDocument.h"
#include "ProseText.h"
#include "wordproc/WPDocument.h"
#include "wordproc/WPTextModel.h"

#include <QImage>
#include <QTextDocument>

using namespace WPTextModel;

namespace {

Run run(const QString& text, qreal size = 12)
{
    Run r;
    r.text = text;
    r.family = QStringLiteral("Helvetica Neue");
    r.pointSize = size;
    return r;
}

} // namespace

void ProseDocument::fill(QTextDocument* doc)
{
    Builder b(doc);
    int words = 0;
    int seed = 0;
    int pictures = 0;
    int tables = 0;
    for (int i = 0; words < 100000; ++i) {
        if (i % 60 == 0) {
            Run heading = run(QStringLiteral("Chapter %1: Notes on the Town").arg(i / 60 + 1), 16);
            heading.bold = true;
            b.addParagraph(Paragraph{{}, {heading}, {}});
        }
        Paragraph p;
        if (i % 10 == 3) {
            // A bulleted item.
            p.style.listKind = WPText::ListBullet;
            p.style.headIndent = WPText::kListHeadIndent;
            p.style.tabStops = {WPText::kListTab1, WPText::kListTab2};
            const Run item = run(QStringLiteral("\t\u2022\t") + ProseText::sentence(seed++));
            words += ProseText::wordCount(item.text) - 1;
            p.runs.append(item);
            b.addParagraph(p);
            continue;
        }
        const int sentences = 4 + i % 4;
        for (int s = 0; s < sentences; ++s) {
            Run r = run(ProseText::sentence(seed++) + QLatin1Char(' '));
            r.bold = s == 1 && i % 3 == 0;
            r.italic = s == 2 && i % 5 == 0;
            words += ProseText::wordCount(r.text);
            p.runs.append(r);
        }
        if (i % 7 == 0)
            p.style.alignment = Qt::AlignJustify;
        b.addParagraph(p);
        if (i % 40 == 20 && pictures < 40) {
            Run r;
            r.text = QString(QChar(0xFFFC));
            r.picture = Picture{makePicture(pictures), QStringLiteral("picture%1.png").arg(pictures), QSizeF(320, 200), QImage()};
            ++pictures;
            b.addParagraph(Paragraph{{}, {r}, {}});
        }
        if (i % 80 == 40 && tables < 20) {
            ++tables;
            Table t;
            t.rows = 6;
            t.columns = 4;
            for (int row = 0; row < t.rows; ++row)
                for (int c = 0; c < t.columns; ++c)
                    t.cells.append(TableCell{row, c, 1, 1, {}, {Paragraph{{}, {run(QStringLiteral("Item %1.%2").arg(row).arg(c))}, {}}}});
            b.addTable(t);
        }
    }
}

bool ProseDocument::writeDocx(const QString& path)
{
    WPDocument doc;
    fill(doc.storage());
    QString error;
    return doc.writeTo(path, WPDocument::kDocxType, &error);
}
