#include "wordproc/formats/CodePage.h"

#include <QHash>
#include <cerrno>
#include <iconv.h>

namespace CodePage {

namespace {

// One converter per code page, kept for the life of the thread.
class Converters {
public:
    ~Converters()
    {
        for (iconv_t cd : std::as_const(m_open)) {
            if (cd != iconv_t(-1))
                iconv_close(cd);
        }
    }
    iconv_t get(int codePage)
    {
        auto it = m_open.find(codePage);
        if (it != m_open.end())
            return *it;
        iconv_t cd = iconv_open("UTF-16LE", iconvName(codePage).constData());
        m_open.insert(codePage, cd);
        return cd;
    }

private:
    QHash<int, iconv_t> m_open;
};

QString convert(iconv_t cd, const QByteArray& bytes)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    QString out;
    QByteArray buffer(bytes.size() * 4 + 16, Qt::Uninitialized);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        size_t outLeft = size_t(buffer.size());
        const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        const qsizetype produced = buffer.size() - qsizetype(outLeft);
        out.append(QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer.constData()), produced / 2));
        if (r == size_t(-1)) {
            if (errno == E2BIG)
                continue;
            // Invalid or incomplete sequence: replace one byte and go on.
            out.append(QChar::ReplacementCharacter);
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

} // namespace

QByteArray iconvName(int codePage)
{
    switch (codePage) {
    case 10000: return "MACINTOSH";
    case 10001: return "SHIFT_JIS";
    case 10006: return "MACGREEK";
    case 10007: return "MACCYRILLIC";
    case 10029: return "MACCENTRALEUROPE";
    case 65001: return "UTF-8";
    case 20127: return "ASCII";
    case 28591: return "ISO-8859-1";
    case 936: return "GBK";
    default: break;
    }
    if (codePage <= 0 || codePage > 65535)
        return "CP1252";
    return "CP" + QByteArray::number(codePage);
}

QString decode(const QByteArray& bytes, int codePage)
{
    bool ascii = true;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(bytes);
    thread_local Converters converters;
    iconv_t cd = converters.get(codePage);
    if (cd == iconv_t(-1))
        cd = converters.get(1252);
    if (cd == iconv_t(-1))
        return QString::fromLatin1(bytes);
    return convert(cd, bytes);
}

} // namespace CodePage
