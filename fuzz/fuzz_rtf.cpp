// Feeds arbitrary bytes to the RTF reader as a hostile document would reach
// it, then writes what was read and reads that back: neither may crash, and
// the second reading must give the same text.
#include "FuzzDocument.h"
#include "wordproc/formats/Rtf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!bytes.startsWith("{\\rtf"))
        bytes.prepend("{\\rtf1 ");
    QTextDocument doc;
    WPDocAttributes attributes;
    if (!Rtf::read(bytes, &doc, &attributes, nullptr))
        return 0;
    const QByteArray again = Rtf::write(doc, attributes);
    QTextDocument back;
    if (!Rtf::read(again, &back, nullptr, nullptr) || FuzzDocument::visible(back) != FuzzDocument::visible(doc))
        std::abort();
    return 0;
}
