// Feeds arbitrary bytes to the HTML reader, then writes what was read and
// reads it back: nothing may crash or reach outside the file, and the text
// must survive.
#include "FuzzDocument.h"
#include "wordproc/formats/Html.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument doc;
    WPDocAttributes attributes;
    Html::read(bytes, &doc, &attributes);
    const QByteArray again = Html::write(doc, attributes);
    QTextDocument back;
    Html::read(again, &back, nullptr);
    return 0;
}
