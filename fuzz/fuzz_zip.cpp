// Feeds arbitrary bytes to the ZIP reader as a damaged or hostile package
// would reach it: every entry by name, through one archive object.
#include "wordproc/docx/Zip.h"
#include "wordproc/docx/ZipLibrary.h"

#include <sanitizer/lsan_interface.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // libzip is loaded once and kept for the life of the process.
    __lsan::ScopedDisabler keptForLife;
    ZipLibrary::load(nullptr);
    return 0;
}

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
