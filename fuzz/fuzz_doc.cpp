// Feeds arbitrary bytes to the Word 97 reader, both as a whole compound file
// and as the WordDocument and table streams of a well-formed one, then
// writes what was read and reads it back: nothing may crash and the text
// must survive.
#include "FuzzDocument.h"
#include "wordproc/formats/CompoundFile.h"
#include "wordproc/formats/Word97.h"

namespace {

void check(const QByteArray& file)
{
    QTextDocument doc;
    WPDocAttributes attributes;
    if (!Word97::read(file, &doc, &attributes, nullptr))
        return;
    const QByteArray again = Word97::write(doc, attributes);
    QTextDocument back;
    if (!Word97::read(again, &back, nullptr, nullptr) || FuzzDocument::visible(back) != FuzzDocument::visible(doc))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (bytes.startsWith("\xD0\xCF\x11\xE0")) {
        check(bytes);
        return 0;
    }
    // The first half is the WordDocument stream, the rest the table stream.
    const qsizetype half = bytes.size() / 2;
    QByteArray word = bytes.left(half);
    if (word.size() >= 12) {
        word[0] = char(0xEC);
        word[1] = char(0xA5);
        word[11] = char(word[11] | 0x02);
        word[11] = char(word[11] & ~0x01);
    }
    check(CompoundFile::write({{QStringLiteral("WordDocument"), word}, {QStringLiteral("1Table"), bytes.mid(half)}}));
    return 0;
}
