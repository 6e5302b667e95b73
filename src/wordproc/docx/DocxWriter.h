#pragma once

#include "wordproc/WPDocAttributes.h"
#include "wordproc/WPTextModel.h"

#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QLocale>
#include <QMap>
#include <QString>
#include <optional>
#include <utility>

namespace Docx {
class Package;
struct Relationship;
} // namespace Docx

class QTextDocument;

// The DOCX package writer and the read-back of what only it stores: the
// header and footer templates, and the pictures when the text came back
// without them.
namespace DocxWriter {

// What a package depends on besides the text: the moment of writing (core
// properties, "{date}") and the title ("{title}").
struct Options {
    QDateTime now = QDateTime::currentDateTimeUtc();
    QLocale locale = QLocale();
    QString title;
};

// The writing context of one package.
struct Ctx {
    QList<QByteArray> media;   // PNG bytes of picture N at index N - 1
    int drawingID = 1;
    qint64 contentWidthTwips = 0;
};

// Collects the cells of one table while its paragraphs are walked.
struct TableBuild {
    struct Cell {
        int row = 0;
        int col = 0;
        int span = 1;
        QString xml;
        QColor bg;
        int rowSpan = 1; // rows the cell covers downwards
    };
    quintptr table = 0;
    int declaredColumns = 0;
    QList<Cell> cells;

    void add(const WPTextModel::CellRef& block, const QString& paragraph);
    QString xml(const Ctx& ctx) const;
};

QByteArray write(const QTextDocument& text, const WPDocAttributes& attributes, const Options& options = {});
// The same from the paragraphs WPTextModel walked out of a document (none
// for a document without text): values only, so it may run on any thread.
QByteArray write(const QList<WPTextModel::Paragraph>& paragraphs, const WPDocAttributes& attributes,
                 const Options& options = {});

// The body of word/document.xml (without sectPr) for `paragraphs`.
QString body(const QList<WPTextModel::Paragraph>& paragraphs, Ctx& ctx);
QString paragraphXML(const WPTextModel::Paragraph& paragraph, Ctx& ctx);
QString runXML(const WPTextModel::Run& run);
QString imageRun(const WPTextModel::Picture& picture, Ctx& ctx);

// "VEXO-HF::" header U+2016 footer; empty when both are empty.
QString hfDescription(const QString& header, const QString& footer);
// The whole header ("hdr") or footer ("ftr") part.
QString hfPart(const QString& root, const QString& text, const QString& title, const QString& date);
// A date as the locale writes it in its medium form ("Mar 14, 2026").
QString mediumDate(const QDate& date, const QLocale& locale);

// XML escaping for text and attribute values; characters XML 1.0 cannot
// carry are dropped.
QString esc(const QString& text);
// Six upper-case hex digits of a colour in sRGB; nothing for an invalid or
// fully transparent one.
std::optional<QString> hex(const QColor& color);
// A WordprocessingML integer: rounded to nearest, halves away from zero,
// held to a sane range (non-finite values give 0).
qint64 whole(double value);
// The same, truncated toward zero (picture extents in EMU).
qint64 truncated(double value);

// Header and footer as write() stored them, else the texts of the package's
// header and footer parts; nothing when there are none.
std::optional<std::pair<QString, QString>> readHeaderFooter(const QByteArray& package);

// Counts into `notKept` the first-page and even-page variants, among the
// header or footer parts `ids` names by kind (`kind`: "header" or "footer"),
// that the document does not keep (WPHeaderFooter::countVariants).
void countVariants(Docx::Package& package, const QHash<QString, Docx::Relationship>& rels,
                   const QHash<QString, QString>& ids, const QString& kind, QMap<QString, int>& notKept);

// When `text` holds no picture at all, puts the package's pictures back at
// the places their surrounding words point to.
void restoreImages(const QByteArray& package, QTextDocument* text);

} // namespace DocxWriter
