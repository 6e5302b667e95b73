// Feeds arbitrary bytes to the Word 2003 XML reader, then writes what was
// read and reads it back: nothing may crash and the text must survive.
#include "wordproc/formats/WordML.h"

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
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument doc;
    WPDocAttributes attributes;
    if (!WordML::read(bytes, &doc, &attributes, nullptr))
        return 0;
    QTextDocument back;
    if (!WordML::read(WordML::write(doc, attributes), &back, nullptr, nullptr) || visible(back) != visible(doc))
        std::abort();
    return 0;
}
