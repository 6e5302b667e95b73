// Feeds arbitrary bytes to the RTF reader as a hostile document would reach
// it, then writes what was read and reads that back: neither may crash, and
// the second reading must give the same text.
#include "wordproc/formats/Rtf.h"

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
    if (!Rtf::read(again, &back, nullptr, nullptr) || visible(back) != visible(doc))
        std::abort();
    return 0;
}
