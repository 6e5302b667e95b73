// Feeds arbitrary bytes to the DOCX reader and the header/footer and picture
// read-back, as a damaged or hostile file chosen in Open would reach them.
// Inputs that are no ZIP archive are wrapped as the body of a package, so
// that the XML readers get exercised directly.
#include "FuzzDocument.h"
#include "wordproc/docx/Docx.h"
#include "wordproc/docx/Zip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!bytes.startsWith("PK")) {
        bytes = Zip::store({{QStringLiteral("word/document.xml"), bytes},
                            {QStringLiteral("docProps/core.xml"), bytes},
                            {QStringLiteral("word/styles.xml"), bytes}});
    }
    QTextDocument doc;
    WPDocAttributes attributes;
    QString error;
    Docx::read(bytes, &doc, &attributes, &error);
    (void)Docx::readHeaderFooter(bytes);
    QTextDocument plain;
    plain.setPlainText(QStringLiteral("See figure: \nCaption"));
    Docx::restoreImages(bytes, &plain);
    return 0;
}
