// Feeds arbitrary bytes to the ZIP reader as a damaged or hostile package
// would reach it: every entry by name, through one archive object.
#include "wordproc/docx/Zip.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    Zip::Archive archive(bytes);
    for (const QString& name : archive.names())
        (void)archive.read(name);
    (void)Zip::extract(bytes, QStringLiteral("word/document.xml"));
    (void)Zip::crc32(bytes);
    return 0;
}
