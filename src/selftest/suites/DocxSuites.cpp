// Self-test suite of the word processor's DOCX files: a document with a real
// table and a page-number footer, written and looked into.
#include "selftest/SelfTest.h"
#include "wordproc/WPTextModel.h"
#include "wordproc/docx/Docx.h"
#include "wordproc/docx/Zip.h"

#include <QTextDocument>

namespace {

SelfTest::Suite docxSuite("DOCX", [](SelfTest::Check& c) {
    QTextDocument doc;
    WPTextModel::Builder builder(&doc);
    WPTextModel::Paragraph intro;
    WPTextModel::Run run;
    run.text = QStringLiteral("Quarterly figures");
    run.bold = true;
    intro.runs.append(run);
    builder.addParagraph(intro);
    WPTextModel::Table table;
    table.rows = 2;
    table.columns = 2;
    const QStringList cells{QStringLiteral("Region"), QStringLiteral("Sales"), QStringLiteral("North"), QStringLiteral("42")};
    for (int i = 0; i < cells.size(); ++i) {
        WPTextModel::Paragraph p;
        run.text = cells.at(i);
        run.bold = false;
        p.runs = {run};
        table.cells.append(WPTextModel::TableCell{i / 2, i % 2, 1, 1, {}, {p}});
    }
    builder.addTable(table);

    WPDocAttributes attrs;
    attrs.comment = WPHeaderFooter::encode(QStringLiteral("{title}"), QStringLiteral("Page {page} of {pages}"));
    const QByteArray docx = Docx::write(doc, attrs);

    const QString body = QString::fromUtf8(Zip::extract(docx, QStringLiteral("word/document.xml")).value_or(QByteArray()));
    c.that(body.contains(QLatin1String("<w:tbl>")) && body.contains(QLatin1String("<w:gridCol w:w=\"4680\"/>")),
           QStringLiteral("the table is a real table"));
    c.that(body.contains(QLatin1String(">North</w:t>")), QStringLiteral("cell text written"));
    const QString footer = QString::fromUtf8(Zip::extract(docx, QStringLiteral("word/footer1.xml")).value_or(QByteArray()));
    c.that(footer.contains(QLatin1String("<w:fldSimple w:instr=\" PAGE \">"))
               && footer.contains(QLatin1String("<w:fldSimple w:instr=\" NUMPAGES \">")),
           QStringLiteral("page-number fields in the footer"));
    c.that(!Zip::extract(docx, QStringLiteral("word/*.xml")), QStringLiteral("entry names are never patterns"));

    QTextDocument back;
    WPDocAttributes backAttrs;
    QString error;
    c.that(Docx::read(docx, &back, &backAttrs, &error), QStringLiteral("the package reads back"), QString(), error);
    const QList<WPTextModel::Paragraph> ps = WPTextModel::paragraphs(back);
    c.that(ps.size() >= 5 && ps.at(0).text() == QLatin1String("Quarterly figures") && ps.at(0).runs.value(0).bold,
           QStringLiteral("text and bold come back"));
    c.that(ps.size() >= 5 && ps.at(4).cell && ps.at(4).cell->row == 1 && ps.at(4).text() == QLatin1String("42"),
           QStringLiteral("the table comes back"));
    const auto hf = Docx::readHeaderFooter(docx);
    c.equal(hf ? hf->second : QString(), QStringLiteral("Page {page} of {pages}"), QStringLiteral("footer template comes back"));
});

} // namespace
