// Placeholder until the format readers and writers land: plain text only.
#include "wordproc/WPFormat.h"

#include <QFileInfo>
#include <QTextDocument>

namespace WPFormat {

std::optional<DocType> documentType(const QString& typeName)
{
    if (typeName == QLatin1String("org.openxmlformats.wordprocessingml.document"))
        return DocType::Docx;
    if (typeName == QLatin1String("public.plain-text") || typeName == QLatin1String("public.text")
        || typeName == QLatin1String("public.utf8-plain-text"))
        return DocType::PlainText;
    return std::nullopt;
}

QString typeName(DocType type)
{
    return type == DocType::Docx ? QStringLiteral("org.openxmlformats.wordprocessingml.document")
                                 : QStringLiteral("public.plain-text");
}

QString extension(DocType type)
{
    return type == DocType::Docx ? QStringLiteral("docx") : QStringLiteral("txt");
}

std::optional<DocType> detect(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("docx"))
        return DocType::Docx;
    return DocType::PlainText;
}

bool read(const QByteArray& data, std::optional<DocType>, QTextDocument* into, WPDocAttributes*, QString*)
{
    into->setPlainText(QString::fromUtf8(data));
    return true;
}

std::optional<QByteArray> write(const QTextDocument& text, DocType, const WPDocAttributes&, QString*)
{
    return text.toPlainText().toUtf8();
}

bool readRtfd(const QString&, QTextDocument*, WPDocAttributes*, QString* error)
{
    if (error)
        *error = QStringLiteral("RTFD is not supported yet.");
    return false;
}

bool writeRtfd(const QTextDocument&, const WPDocAttributes&, const QString&, QString* error)
{
    if (error)
        *error = QStringLiteral("RTFD is not supported yet.");
    return false;
}

} // namespace WPFormat
