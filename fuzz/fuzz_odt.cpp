// Feeds arbitrary bytes to the OpenDocument reader, both as a whole package
// and as the content.xml of a well-formed package, then writes what was read
// and reads it back: nothing may crash and the text must survive.
#include "FuzzDocument.h"
#include "wordproc/formats/Odt.h"
#include "wordproc/formats/ZipPackage.h"

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
    if (!Odt::read(*again, &back, nullptr, nullptr) || FuzzDocument::visible(back) != FuzzDocument::visible(doc))
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
