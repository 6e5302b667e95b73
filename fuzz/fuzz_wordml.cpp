// Feeds arbitrary bytes to the Word 2003 XML reader, then writes what was
// read and reads it back: nothing may crash and the text must survive.
#include "FuzzDocument.h"
#include "wordproc/formats/WordML.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument doc;
    WPDocAttributes attributes;
    if (!WordML::read(bytes, &doc, &attributes, nullptr))
        return 0;
    QTextDocument back;
    if (!WordML::read(WordML::write(doc, attributes), &back, nullptr, nullptr) || FuzzDocument::visible(back) != FuzzDocument::visible(doc))
        std::abort();
    return 0;
}
