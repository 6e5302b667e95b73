// Feeds arbitrary bytes to the OpenDocument reader, both as a whole package
// and as the content.xml of a well-formed package, then writes what was read
// and reads it back: nothing may crash and the text must survive.
#include "wordproc/formats/Odt.h"
#include "wordproc/formats/ZipPackage.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// The text without pictures: a picture whose bytes no format can hold is
// left out when writing.
static QString visible(const QTextDocument& doc)
{
    return doc.toPlainText().remove(QChar::ObjectReplacementCharacter);
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

namespace {

void check(const QByteArray& package)
{
    QTextDocument doc;
    WPDocAttributes attributes;
    if (!Odt::read(package, &doc, &attributes, nullptr))
        return;
    const std::optional<QByteArray> again = Odt::write(doc, attributes, nullptr);
    if (!again)
        std::abort();
    QTextDocument back;
    if (!Odt::read(*again, &back, nullptr, nullptr) || visible(back) != visible(doc))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (bytes.startsWith("PK")) {
        check(bytes);
        return 0;
    }
    const std::optional<QByteArray> package = ZipPackage::write(
        {{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text", false},
         {QStringLiteral("content.xml"), bytes, true}},
        nullptr);
    if (package)
        check(*package);
    return 0;
}
