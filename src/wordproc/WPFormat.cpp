#include "wordproc/WPFormat.h"

#include "wordproc/WPPaths.h"

#include "wordproc/docx/Docx.h"
#include "wordproc/formats/Doc.h"
#include "wordproc/formats/Html.h"
#include "wordproc/formats/Odt.h"
#include "wordproc/formats/PlainText.h"
#include "wordproc/formats/Rtf.h"
#include "wordproc/formats/Rtfd.h"
#include "wordproc/formats/WordML.h"
#include "wordproc/formats/ZipPackage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTextDocument>
#include <cmath>

namespace WPFormat {

namespace {

constexpr qreal kMinPaper = 72;
constexpr qreal kMaxPaper = 14400; // 200 inches

// Type identifiers this system knows beyond the table, by what they conform to.
const QSet<QString>& plainTextConformers()
{
    static const QSet<QString> set = {
        QStringLiteral("public.utf16-plain-text"), QStringLiteral("public.utf16-external-plain-text"),
        QStringLiteral("public.delimited-values-text"), QStringLiteral("public.comma-separated-values-text"),
        QStringLiteral("public.tab-separated-values-text"), QStringLiteral("public.utf8-tab-separated-values-text"),
        QStringLiteral("net.daringfireball.markdown"), QStringLiteral("public.source-code"),
        QStringLiteral("public.script"), QStringLiteral("public.shell-script"), QStringLiteral("public.log"),
        QStringLiteral("public.json"), QStringLiteral("public.xml"), QStringLiteral("public.yaml"),
        QStringLiteral("public.c-source"), QStringLiteral("public.c-plus-plus-source"),
        QStringLiteral("public.c-header"), QStringLiteral("public.python-script"),
        QStringLiteral("com.netscape.javascript-source"), QStringLiteral("public.css"),
    };
    return set;
}

bool isTextLike(const QByteArray& data)
{
    const QByteArray head = data.left(4096);
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF"))
        return true;
    return !head.contains('\0');
}

bool readAs(DocType type, const QByteArray& data, QTextDocument* into, WPDocAttributes* attributes, QString* error)
{
    *attributes = WPDocAttributes();
    switch (type) {
    case DocType::Docx:
        return Docx::read(data, into, attributes, error);
    case DocType::Doc:
        return Doc::read(data, into, attributes, error);
    case DocType::Rtf:
        return Rtf::read(data, into, attributes, error);
    case DocType::Rtfd:
        if (error)
            *error = QStringLiteral("Rich Text with Attachments is read from its folder (.rtfd) only.");
        return false;
    case DocType::Odt:
        return Odt::read(data, into, attributes, error);
    case DocType::PlainText:
        PlainText::read(data, into);
        return true;
    case DocType::Html:
        Html::read(data, into, attributes);
        return true;
    case DocType::WordML:
        return WordML::read(data, into, attributes, error);
    }
    return false;
}

// Values of the right kind only: finite, paper sizes positive, margins not
// negative, nothing beyond 200 inches.
void sanitize(WPDocAttributes* a)
{
    if (a->paperSize) {
        const QSizeF s = *a->paperSize;
        if (!std::isfinite(s.width()) || !std::isfinite(s.height()) || s.width() <= 0 || s.height() <= 0)
            a->paperSize.reset();
        else
            a->paperSize = QSizeF(std::clamp(s.width(), kMinPaper, kMaxPaper), std::clamp(s.height(), kMinPaper, kMaxPaper));
    }
    for (std::optional<qreal>* m : {&a->leftMargin, &a->rightMargin, &a->topMargin, &a->bottomMargin}) {
        if (*m && !std::isfinite(**m))
            m->reset();
        else if (*m)
            *m = std::clamp(**m, 0.0, kMaxPaper);
    }
}

} // namespace

std::optional<DocType> documentType(const QString& name)
{
    if (name == QLatin1String("org.openxmlformats.wordprocessingml.document"))
        return DocType::Docx;
    if (name == QLatin1String("com.microsoft.word.doc"))
        return DocType::Doc;
    if (name == QLatin1String("public.rtf"))
        return DocType::Rtf;
    if (name == QLatin1String("com.apple.rtfd") || name == QLatin1String("com.apple.flat-rtfd"))
        return DocType::Rtfd;
    if (name == QLatin1String("org.oasis-open.opendocument.text"))
        return DocType::Odt;
    if (name == QLatin1String("public.plain-text") || name == QLatin1String("public.text")
        || name == QLatin1String("public.utf8-plain-text"))
        return DocType::PlainText;
    if (name == QLatin1String("public.html"))
        return DocType::Html;
    if (name == QLatin1String("com.microsoft.word.wordml"))
        return DocType::WordML;
    // Identifiers known by conformance.
    if (name == QLatin1String("public.xhtml"))
        return DocType::Html;
    if (plainTextConformers().contains(name))
        return DocType::PlainText;
    return std::nullopt;
}

QString typeName(DocType type)
{
    switch (type) {
    case DocType::Docx: return QStringLiteral("org.openxmlformats.wordprocessingml.document");
    case DocType::Doc: return QStringLiteral("com.microsoft.word.doc");
    case DocType::Rtf: return QStringLiteral("public.rtf");
    case DocType::Rtfd: return QStringLiteral("com.apple.rtfd");
    case DocType::Odt: return QStringLiteral("org.oasis-open.opendocument.text");
    case DocType::PlainText: return QStringLiteral("public.plain-text");
    case DocType::Html: return QStringLiteral("public.html");
    case DocType::WordML: return QStringLiteral("com.microsoft.word.wordml");
    }
    return {};
}

QString extension(DocType type)
{
    switch (type) {
    case DocType::Docx: return QStringLiteral("docx");
    case DocType::Doc: return QStringLiteral("doc");
    case DocType::Rtf: return QStringLiteral("rtf");
    case DocType::Rtfd: return QStringLiteral("rtfd");
    case DocType::Odt: return QStringLiteral("odt");
    case DocType::PlainText: return QStringLiteral("txt");
    case DocType::Html: return QStringLiteral("html");
    case DocType::WordML: return QStringLiteral("xml");
    }
    return {};
}

bool canWrite(const QString& name)
{
    return name != QLatin1String("com.apple.flat-rtfd") && documentType(name).has_value();
}

std::optional<DocType> sniff(const QByteArray& data)
{
    if (Rtf::looksLikeRtf(data))
        return DocType::Rtf;
    if (data.startsWith("PK\x03\x04")) {
        if (Odt::looksLikeOdt(data))
            return DocType::Odt;
        const ZipPackage::Reader zip(data);
        if (zip.contains(QStringLiteral("word/document.xml")))
            return DocType::Docx;
        return std::nullopt;
    }
    if (Doc::looksLikeWord97(data))
        return DocType::Doc;
    if (WordML::looksLikeWordML(data))
        return DocType::WordML;
    if (Html::looksLikeHtml(data))
        return DocType::Html;
    return std::nullopt;
}

std::optional<DocType> detect(const QString& path)
{
    const QFileInfo info(path);
    const QString ext = info.suffix().toLower();
    if (info.isDir()) {
        if (ext == QLatin1String("rtfd") || QFileInfo::exists(QDir(path).filePath(QStringLiteral("TXT.rtf"))))
            return DocType::Rtfd;
        return std::nullopt;
    }
    QFile file(path);
    // Only a regular file is looked into: a pipe or a kernel file blocks.
    if (WPPaths::isPlainFile(path) && file.open(QIODevice::ReadOnly)) {
        // A ZIP package is told by its directory at the end: read it whole.
        QByteArray head = file.read(64 * 1024);
        if (head.startsWith("PK\x03\x04") && file.size() <= ZipPackage::kMaxEntryBytes)
            head += file.readAll();
        if (const std::optional<DocType> t = sniff(head))
            return t;
    }
    static const QHash<QString, DocType> byExtension = {
        {QStringLiteral("docx"), DocType::Docx}, {QStringLiteral("doc"), DocType::Doc},
        {QStringLiteral("rtf"), DocType::Rtf}, {QStringLiteral("rtfd"), DocType::Rtfd},
        {QStringLiteral("odt"), DocType::Odt}, {QStringLiteral("txt"), DocType::PlainText},
        {QStringLiteral("text"), DocType::PlainText}, {QStringLiteral("md"), DocType::PlainText},
        {QStringLiteral("markdown"), DocType::PlainText}, {QStringLiteral("csv"), DocType::PlainText},
        {QStringLiteral("tsv"), DocType::PlainText}, {QStringLiteral("log"), DocType::PlainText},
        {QStringLiteral("xml"), DocType::PlainText}, {QStringLiteral("html"), DocType::Html},
        {QStringLiteral("htm"), DocType::Html}, {QStringLiteral("xhtml"), DocType::Html},
    };
    const auto it = byExtension.constFind(ext);
    if (it != byExtension.constEnd())
        return *it;
    return std::nullopt;
}

bool read(const QByteArray& data, std::optional<DocType> type, QTextDocument* into, WPDocAttributes* attributes,
          QString* error)
{
    WPDocAttributes local;
    WPDocAttributes* attrs = attributes ? attributes : &local;
    QString firstError;
    // Content before extension: bytes that plainly are another format are
    // read as that format (RTF saved as .doc, WordML saved as .xml), except
    // in a file declared as plain text, which shows its bytes as they are.
    const std::optional<DocType> sniffed = sniff(data);
    std::optional<DocType> effective = type;
    if (sniffed && *sniffed != DocType::Html && (!type || *type != DocType::PlainText))
        effective = sniffed;
    if (!effective)
        effective = sniffed;
    if (effective) {
        if (readAs(*effective, data, into, attrs, &firstError)) {
            sanitize(attrs);
            return true;
        }
    }
    // Once more with detection alone.
    std::optional<DocType> detected = sniffed;
    if (!detected && isTextLike(data))
        detected = DocType::PlainText;
    QString secondError;
    if (detected && detected != effective) {
        if (readAs(*detected, data, into, attrs, &secondError)) {
            sanitize(attrs);
            return true;
        }
    } else {
        secondError = firstError;
    }
    *attrs = WPDocAttributes();
    if (error)
        *error = secondError.isEmpty() ? QStringLiteral("The file is not in a format the word processor can read.")
                                       : secondError;
    return false;
}

std::optional<QByteArray> write(const QTextDocument& text, DocType type, const WPDocAttributes& attributes,
                                QString* error)
{
    switch (type) {
    case DocType::Docx: {
        QByteArray bytes = Docx::write(text, attributes);
        if (bytes.isEmpty()) {
            if (error)
                *error = QStringLiteral("The Word document could not be written.");
            return std::nullopt;
        }
        return bytes;
    }
    case DocType::Doc:
        return Doc::write(text, attributes);
    case DocType::Rtf:
        return Rtf::write(text, attributes);
    case DocType::Rtfd:
        if (error)
            *error = QStringLiteral("Rich Text with Attachments is saved as a folder.");
        return std::nullopt;
    case DocType::Odt:
        return Odt::write(text, attributes, error);
    case DocType::PlainText:
        return PlainText::write(text);
    case DocType::Html:
        return Html::write(text, attributes);
    case DocType::WordML:
        return WordML::write(text, attributes);
    }
    return std::nullopt;
}

bool recoverRtfd(const QString& directory)
{
    return Rtfd::recover(directory);
}

bool readRtfd(const QString& directory, QTextDocument* into, WPDocAttributes* attributes, QString* error)
{
    WPDocAttributes local;
    WPDocAttributes* attrs = attributes ? attributes : &local;
    Rtfd::recover(directory);
    if (!Rtfd::read(directory, into, attrs, error))
        return false;
    sanitize(attrs);
    return true;
}

bool writeRtfd(const QTextDocument& text, const WPDocAttributes& attributes, const QString& directory, QString* error)
{
    return Rtfd::write(text, attributes, directory, error);
}

} // namespace WPFormat
