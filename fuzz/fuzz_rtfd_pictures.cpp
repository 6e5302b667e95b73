// Feeds arbitrary RTF as the text of an RTFD package whose folder holds a
// picture, a picture in a sub-folder, a link to a picture outside and an
// oversized file: whatever names the text asks for, only files inside the
// package are read, and never a file beyond the size limit.
#include "wordproc/WPText.h"
#include "wordproc/formats/FormatSupport.h"
#include "wordproc/formats/Rtfd.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QTemporaryDir* root = nullptr;
QByteArray outsideBytes;

QString package()
{
    return root->filePath(QStringLiteral("doc.rtfd"));
}

QByteArray png(Qt::GlobalColor color)
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    root = new QTemporaryDir;
    QDir(root->path()).mkpath(QStringLiteral("doc.rtfd/sub"));
    outsideBytes = png(Qt::red);
    put(root->filePath(QStringLiteral("outside.png")), outsideBytes);
    put(package() + QStringLiteral("/pic.png"), png(Qt::blue));
    put(package() + QStringLiteral("/sub/inner.png"), png(Qt::green));
    QFile::link(root->filePath(QStringLiteral("outside.png")), package() + QStringLiteral("/link.png"));
    QFile huge(package() + QStringLiteral("/huge.png"));
    if (!huge.open(QIODevice::WriteOnly) || !huge.resize(FormatSupport::kMaxPictureBytes + 1))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray rtf(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!rtf.startsWith("{\\rtf"))
        rtf.prepend("{\\rtf1 ");
    put(package() + QStringLiteral("/TXT.rtf"), rtf);
    QTextDocument doc;
    if (!Rtfd::read(package(), &doc, nullptr, nullptr))
        return 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isImageFormat())
                continue;
            const QByteArray bytes = f.property(WPText::PictureData).toByteArray();
            if (bytes == outsideBytes || bytes.size() > FormatSupport::kMaxPictureBytes)
                std::abort(); // read through a link, or past the limit
        }
    }
    return 0;
}
