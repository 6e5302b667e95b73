// The DOCX package: its parts, section properties, header and footer parts
// and core properties.
#include "wordproc/docx/DocxWriter.h"
#include "wordproc/docx/DocxNames.h"
#include "wordproc/docx/Zip.h"
#include "wordproc/formats/FieldCode.h"
#include "wordproc/print/WPPrint.h"

#include <QRegularExpression>
#include <QTextDocument>
#include <cmath>

namespace DocxWriter {

namespace {

const QString kDecl = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n");

const QString kStyles = QStringLiteral(
    "<w:styles xmlns:w=\"%1\"><w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"Helvetica Neue\" "
    "w:hAnsi=\"Helvetica Neue\" w:cs=\"Helvetica Neue\"/><w:sz w:val=\"24\"/><w:szCs w:val=\"24\"/></w:rPr>"
    "</w:rPrDefault><w:pPrDefault><w:pPr><w:spacing w:after=\"0\" w:line=\"240\" w:lineRule=\"auto\"/></w:pPr>"
    "</w:pPrDefault></w:docDefaults><w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\">"
    "<w:name w:val=\"Normal\"/></w:style><w:style w:type=\"table\" w:default=\"1\" w:styleId=\"TableNormal\">"
    "<w:name w:val=\"Normal Table\"/><w:tblPr><w:tblCellMar><w:top w:w=\"0\" w:type=\"dxa\"/><w:left w:w=\"108\" "
    "w:type=\"dxa\"/><w:bottom w:w=\"0\" w:type=\"dxa\"/><w:right w:w=\"108\" w:type=\"dxa\"/></w:tblCellMar>"
    "</w:tblPr></w:style></w:styles>");

const QString kHFRun = QStringLiteral("<w:r><w:rPr><w:sz w:val=\"18\"/><w:color w:val=\"595959\"/></w:rPr>");

QString rel(const QString& id, const QString& type, const QString& target)
{
    return QStringLiteral("<Relationship Id=\"%1\" Type=\"%2\" Target=\"%3\"/>").arg(id, type, target);
}

QString override(const QString& part, const QString& type)
{
    return QStringLiteral("<Override PartName=\"%1\" ContentType=\"%2\"/>").arg(part, type);
}

double finiteOr(std::optional<qreal> v, double fallback)
{
    return v && std::isfinite(*v) ? double(*v) : fallback;
}

} // namespace

QString mediumDate(const QDate& date, const QLocale& locale)
{
    return WPPrint::mediumDate(date, locale);
}

QString hfDescription(const QString& header, const QString& footer)
{
    if (header.isEmpty() && footer.isEmpty())
        return {};
    // The separator must not occur inside either text, or the footer would
    // split off at the wrong place when read back.
    return QStringLiteral("VEXO-HF::") + WPHeaderFooter::sanitize(header) + QChar(0x2016)
        + WPHeaderFooter::sanitize(footer);
}

QString hfPart(const QString& root, const QString& text, const QString& title, const QString& date)
{
    QString runs;
    for (const FieldCode::Piece& piece : FieldCode::templatePieces(text, title, date)) {
        if (piece.kind == FieldCode::Piece::Text)
            runs += kHFRun + QLatin1String("<w:t xml:space=\"preserve\">") + esc(piece.text) + QLatin1String("</w:t></w:r>");
        else
            runs += QStringLiteral("<w:fldSimple w:instr=\" %1 \">")
                        .arg(piece.kind == FieldCode::Piece::Pages ? QLatin1String("NUMPAGES") : QLatin1String("PAGE"))
                + kHFRun + QLatin1String("<w:t>1</w:t></w:r></w:fldSimple>");
    }
    return kDecl + QStringLiteral("<w:%1 xmlns:w=\"%2\" xmlns:r=\"%3\"><w:p><w:pPr><w:jc w:val=\"center\"/></w:pPr>")
                       .arg(root, Docx::ns::w, Docx::ns::r)
        + runs + QStringLiteral("</w:p></w:%1>").arg(root);
}

QByteArray write(const QTextDocument& text, const WPDocAttributes& attributes, const Options& options)
{
    // A document without any text has no paragraphs to write (the one
    // empty paragraph Qt always keeps is not the user's).
    return write(text.isEmpty() ? QList<WPTextModel::Paragraph>() : WPTextModel::paragraphs(text), attributes,
                 options);
}

QByteArray write(const QList<WPTextModel::Paragraph>& paragraphs, const WPDocAttributes& attributes,
                 const Options& options)
{
    using namespace Docx;
    QSizeF paper(612, 792);
    if (attributes.paperSize && std::isfinite(attributes.paperSize->width())
        && std::isfinite(attributes.paperSize->height()))
        paper = *attributes.paperSize;
    const double left = finiteOr(attributes.leftMargin, 72);
    const double right = finiteOr(attributes.rightMargin, 72);
    const double top = finiteOr(attributes.topMargin, 72);
    const double bottom = finiteOr(attributes.bottomMargin, 72);

    Ctx ctx;
    ctx.contentWidthTwips = whole((paper.width() - left - right) * 20);

    QString header;
    QString footer;
    if (attributes.comment) {
        if (const auto hf = WPHeaderFooter::decode(*attributes.comment)) {
            header = hf->first;
            footer = hf->second;
        }
    }

    QString bodyXml = paragraphs.isEmpty() ? QString() : body(paragraphs, ctx);
    if (bodyXml.isEmpty())
        bodyXml = QStringLiteral("<w:p/>");
    const bool hasHeader = !header.isEmpty();
    const bool hasFooter = !footer.isEmpty();

    QString sect = QStringLiteral("<w:sectPr>");
    if (hasHeader)
        sect += QLatin1String("<w:headerReference w:type=\"default\" r:id=\"rIdHeader1\"/>");
    if (hasFooter)
        sect += QLatin1String("<w:footerReference w:type=\"default\" r:id=\"rIdFooter1\"/>");
    sect += QStringLiteral("<w:pgSz w:w=\"%1\" w:h=\"%2\"%3/>")
                .arg(whole(paper.width() * 20))
                .arg(whole(paper.height() * 20))
                .arg(paper.height() < paper.width() ? QStringLiteral(" w:orient=\"landscape\"") : QString());
    sect += QStringLiteral("<w:pgMar w:top=\"%1\" w:right=\"%2\" w:bottom=\"%3\" w:left=\"%4\" w:header=\"%5\" "
                           "w:footer=\"%6\" w:gutter=\"0\"/>")
                .arg(whole(top * 20))
                .arg(whole(right * 20))
                .arg(whole(bottom * 20))
                .arg(whole(left * 20))
                .arg(whole(std::min(top, 72.0) * 10))
                .arg(whole(std::min(bottom, 72.0) * 10));
    sect += QLatin1String("</w:sectPr>");

    const QString document = kDecl
        + QStringLiteral("<w:document xmlns:w=\"%1\" xmlns:r=\"%2\" xmlns:wp=\"%3\" xmlns:a=\"%4\" xmlns:pic=\"%5\">"
                         "<w:body>")
              .arg(ns::w, ns::r, ns::wp, ns::a, ns::pic)
        + bodyXml + sect + QLatin1String("</w:body></w:document>");

    QString docRels = kDecl + QStringLiteral("<Relationships xmlns=\"%1\">").arg(ns::packageRels)
        + rel(QStringLiteral("rIdStyles"), rt::styles, QStringLiteral("styles.xml"));
    if (hasHeader)
        docRels += rel(QStringLiteral("rIdHeader1"), rt::header, QStringLiteral("header1.xml"));
    if (hasFooter)
        docRels += rel(QStringLiteral("rIdFooter1"), rt::footer, QStringLiteral("footer1.xml"));
    for (qsizetype i = 1; i <= ctx.media.size(); ++i)
        docRels += rel(QStringLiteral("rIdImg%1").arg(i), rt::image, QStringLiteral("media/image%1.png").arg(i));
    docRels += QLatin1String("</Relationships>");

    const QString packageRels = kDecl + QStringLiteral("<Relationships xmlns=\"%1\">").arg(ns::packageRels)
        + rel(QStringLiteral("rId1"), rt::officeDocument, QStringLiteral("word/document.xml"))
        + rel(QStringLiteral("rId2"), rt::coreProperties, QStringLiteral("docProps/core.xml"))
        + rel(QStringLiteral("rId3"), rt::extendedProperties, QStringLiteral("docProps/app.xml"))
        + QLatin1String("</Relationships>");

    QString types = kDecl + QStringLiteral("<Types xmlns=\"%1\">").arg(ns::contentTypes)
        + QLatin1String("<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                        "<Default Extension=\"png\" ContentType=\"image/png\"/>")
        + override(QStringLiteral("/word/document.xml"),
                   QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"))
        + override(QStringLiteral("/word/styles.xml"),
                   QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"));
    if (hasHeader)
        types += override(QStringLiteral("/word/header1.xml"),
                          QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml"));
    if (hasFooter)
        types += override(QStringLiteral("/word/footer1.xml"),
                          QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml"));
    types += override(QStringLiteral("/docProps/core.xml"),
                      QStringLiteral("application/vnd.openxmlformats-package.core-properties+xml"))
        + override(QStringLiteral("/docProps/app.xml"),
                   QStringLiteral("application/vnd.openxmlformats-officedocument.extended-properties+xml"))
        + QLatin1String("</Types>");

    const QString stamp = options.now.toUTC().toString(Qt::ISODate);
    const QString core = kDecl
        + QStringLiteral("<cp:coreProperties xmlns:cp=\"%1\" xmlns:dc=\"%2\" xmlns:dcterms=\"%3\" xmlns:xsi=\"%4\">")
              .arg(ns::cp, ns::dc, ns::dcterms, ns::xsi)
        + QLatin1String("<dc:title>") + esc(options.title) + QLatin1String("</dc:title><dc:description>")
        + esc(hfDescription(header, footer))
        + QStringLiteral("</dc:description><dcterms:created xsi:type=\"dcterms:W3CDTF\">%1</dcterms:created>"
                         "<dcterms:modified xsi:type=\"dcterms:W3CDTF\">%1</dcterms:modified></cp:coreProperties>")
              .arg(stamp);

    const QString app = kDecl + QStringLiteral("<Properties xmlns=\"%1\">").arg(ns::extendedProperties)
        + QLatin1String("<Application>Brindleworks by Corvandel Softworks</Application>"
                        "<Company>Corvandel Softworks</Company></Properties>");

    QList<Zip::Entry> entries{
        {QStringLiteral("[Content_Types].xml"), types.toUtf8()},
        {QStringLiteral("_rels/.rels"), packageRels.toUtf8()},
        {QStringLiteral("word/document.xml"), document.toUtf8()},
        {QStringLiteral("word/_rels/document.xml.rels"), docRels.toUtf8()},
        {QStringLiteral("word/styles.xml"), (kDecl + kStyles.arg(ns::w)).toUtf8()},
        {QStringLiteral("docProps/core.xml"), core.toUtf8()},
        {QStringLiteral("docProps/app.xml"), app.toUtf8()},
    };
    const QString date = mediumDate(options.now.toLocalTime().date(), options.locale);
    if (hasHeader)
        entries.append({QStringLiteral("word/header1.xml"), hfPart(QStringLiteral("hdr"), header, options.title, date).toUtf8()});
    if (hasFooter)
        entries.append({QStringLiteral("word/footer1.xml"), hfPart(QStringLiteral("ftr"), footer, options.title, date).toUtf8()});
    for (qsizetype i = 0; i < ctx.media.size(); ++i)
        entries.append({QStringLiteral("word/media/image%1.png").arg(i + 1), ctx.media.at(i)});
    return Zip::store(entries);
}

} // namespace DocxWriter
