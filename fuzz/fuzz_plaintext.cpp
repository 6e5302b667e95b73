// Feeds arbitrary bytes to the plain-text decoder (byte-order marks, UTF-8,
// the Latin-1 fallback), then writes what was read and reads it back: the
// text must come back the same.
#include "FuzzDocument.h"
#include "wordproc/formats/PlainText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument doc;
    PlainText::read(bytes, &doc);
    QTextDocument back;
    PlainText::read(PlainText::write(doc), &back);
    if (back.toPlainText() != doc.toPlainText())
        std::abort();
    return 0;
}
