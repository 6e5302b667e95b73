#include "wordproc/formats/Word97Summary.h"

#include "wordproc/formats/CodePage.h"
#include "wordproc/formats/Word97Format.h"

#include <QList>

namespace Word97Summary {

namespace {

using Word97Format::le16;
using Word97Format::le32;

constexpr quint32 kCodePage = 1;
constexpr quint32 kComments = 6;
constexpr quint16 kI2 = 0x0002;
constexpr quint16 kLpstr = 0x001E;
constexpr qint64 kMaxComment = 1 << 20;

const QByteArray& summaryFormat()
{
    static const QByteArray id("\xE0\x85\x9F\xF2\xF9\x4F\x68\x10\xAB\x91\x08\x00\x2B\x27\xB3\xD9", 16);
    return id;
}

void add16(QByteArray& b, quint16 v)
{
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}

void add32(QByteArray& b, quint32 v)
{
    add16(b, quint16(v & 0xFFFF));
    add16(b, quint16(v >> 16));
}

} // namespace

QByteArray write(const QString& comment)
{
    QList<std::pair<quint32, QByteArray>> props;
    QByteArray codePage;
    add16(codePage, kI2);
    add16(codePage, 0);
    add16(codePage, 65001);
    add16(codePage, 0);
    props.append({kCodePage, codePage});
    if (!comment.isEmpty()) {
        QByteArray text = comment.toUtf8();
        text.append('\0');
        QByteArray value;
        add16(value, kLpstr);
        add16(value, 0);
        add32(value, quint32(text.size()));
        value += text;
        value.append(QByteArray((4 - value.size() % 4) % 4, '\0'));
        props.append({kComments, value});
    }
    QByteArray section;
    const quint32 tableSize = 8 + 8 * quint32(props.size());
    quint32 offset = tableSize;
    QByteArray values;
    QByteArray index;
    for (const auto& [id, value] : props) {
        add32(index, id);
        add32(index, offset);
        offset += quint32(value.size());
        values += value;
    }
    add32(section, offset);
    add32(section, quint32(props.size()));
    section += index + values;

    QByteArray out;
    add16(out, 0xFFFE);
    add16(out, 0);
    add32(out, 0x00020006);
    out.append(QByteArray(16, '\0'));
    add32(out, 1);
    out += summaryFormat();
    add32(out, 48);
    return out + section;
}

std::optional<QString> comment(const QByteArray& s)
{
    if (le16(s, 0) != 0xFFFE || le32(s, 24) < 1 || s.mid(28, 16) != summaryFormat())
        return std::nullopt;
    const qint64 base = le32(s, 44);
    if (base < 48 || base + 8 > s.size())
        return std::nullopt;
    const quint32 count = std::min<quint32>(le32(s, base + 4), 1000);
    int codePage = 1252;
    std::optional<QByteArray> text;
    bool wide = false;
    for (quint32 i = 0; i < count; ++i) {
        const quint32 id = le32(s, base + 8 + 8 * i);
        const qint64 at = base + le32(s, base + 12 + 8 * i);
        if (at + 8 > s.size())
            continue;
        const quint16 type = le16(s, at);
        if (id == kCodePage && type == kI2) {
            codePage = le16(s, at + 4);
        } else if (id == kComments && type == kLpstr) {
            const qint64 size = le32(s, at + 4);
            if (size <= 0 || size > kMaxComment || at + 8 + size > s.size())
                continue;
            text = s.mid(at + 8, size);
        } else if (id == kComments && type == 0x001F) { // a UTF-16 string, length in characters
            const qint64 chars = le32(s, at + 4);
            if (chars <= 0 || chars > kMaxComment || at + 8 + 2 * chars > s.size())
                continue;
            text = s.mid(at + 8, 2 * chars);
            wide = true;
        }
    }
    if (!text)
        return std::nullopt;
    QString result;
    if (wide || codePage == 1200) {
        for (qsizetype i = 0; i + 1 < text->size(); i += 2)
            result += QChar(le16(*text, i));
    } else {
        result = CodePage::decode(*text, codePage);
    }
    const qsizetype nul = result.indexOf(QChar(0));
    if (nul >= 0)
        result.truncate(nul);
    return result;
}

} // namespace Word97Summary
