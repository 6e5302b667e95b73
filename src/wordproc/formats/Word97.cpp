// Word 97 to 2003 binary documents: the text of the main document from the
// piece table, in paragraphs, with field results kept and field codes left
// out. Formatting is not read.
#include "wordproc/formats/Word97.h"

#include "wordproc/formats/CodePage.h"
#include "wordproc/formats/CompoundFile.h"
#include "wordproc/formats/FormatSupport.h"

#include <QTextDocument>

namespace Word97 {

namespace {

bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

quint16 u16(const QByteArray& b, qint64 offset)
{
    if (offset < 0 || offset + 2 > b.size())
        return 0;
    return quint16(quint8(b[offset]) | quint8(b[offset + 1]) << 8);
}

quint32 u32(const QByteArray& b, qint64 offset)
{
    if (offset < 0 || offset + 4 > b.size())
        return 0;
    return quint32(u16(b, offset)) | quint32(u16(b, offset + 2)) << 16;
}

// The main document's characters, piece by piece.
std::optional<QString> mainText(const QByteArray& word, const QByteArray& table, quint32 fcClx, quint32 lcbClx,
                                quint32 ccpText)
{
    if (qint64(fcClx) + lcbClx > table.size())
        return std::nullopt;
    const QByteArray clx = table.mid(fcClx, lcbClx);
    qint64 pos = 0;
    // Skip the property modifiers (Prc) before the piece table (Pcdt).
    while (pos < clx.size() && clx[pos] == 0x01) {
        if (pos + 3 > clx.size())
            return std::nullopt;
        pos += 3 + u16(clx, pos + 1);
    }
    if (pos + 5 > clx.size() || clx[pos] != 0x02)
        return std::nullopt;
    const quint32 lcb = u32(clx, pos + 1);
    const QByteArray plc = clx.mid(pos + 5, lcb);
    if (plc.size() < 16 || quint32(plc.size()) != lcb)
        return std::nullopt;
    const qint64 pieces = (plc.size() - 4) / 12;
    QString text;
    for (qint64 i = 0; i < pieces && quint32(text.size()) < ccpText; ++i) {
        const quint32 cpStart = u32(plc, 4 * i);
        const quint32 cpEnd = u32(plc, 4 * (i + 1));
        if (cpEnd <= cpStart)
            continue;
        const quint32 count = std::min(cpEnd - cpStart, ccpText - quint32(text.size()));
        const quint32 fc = u32(plc, 4 * (pieces + 1) + 8 * i + 2);
        if (fc & 0x40000000) {
            const qint64 start = (fc & ~0x40000000u) / 2;
            if (start + count > word.size())
                return std::nullopt;
            text += CodePage::decode(word.mid(start, count), 1252);
        } else {
            if (qint64(fc) + 2 * qint64(count) > word.size())
                return std::nullopt;
            text.reserve(text.size() + count);
            for (quint32 k = 0; k < count; ++k)
                text += QChar(u16(word, qint64(fc) + 2 * k));
        }
    }
    return text;
}

} // namespace

bool read(const QByteArray& data, QTextDocument* into, WPDocAttributes* attributes, QString* error)
{
    const QString damaged = QStringLiteral("The Word 97 document is damaged or of a kind that cannot be read.");
    const CompoundFile file(data);
    const std::optional<QByteArray> word = file.stream(QStringLiteral("WordDocument"));
    if (!word || word->size() < 0x1AA || u16(*word, 0) != 0xA5EC)
        return fail(error, damaged);
    const quint16 flags = u16(*word, 0x0A);
    if (flags & 0x0100)
        return fail(error, QStringLiteral("The Word document is protected with a password."));
    const std::optional<QByteArray> table = file.stream((flags & 0x0200) ? QStringLiteral("1Table") : QStringLiteral("0Table"));
    if (!table)
        return fail(error, damaged);
    const quint32 ccpText = u32(*word, 0x4C);
    const std::optional<QString> text = mainText(*word, *table, u32(*word, 0x1A2), u32(*word, 0x1A6),
                                                 std::min<quint32>(ccpText, 64 * 1024 * 1024));
    if (!text)
        return fail(error, damaged);

    if (attributes)
        *attributes = WPDocAttributes();
    into->clear();
    FormatSupport::Builder builder(into);
    const QTextCharFormat format;
    QString run;
    QList<bool> inCode; // per open field: still in its code part, which is left out
    int openCodes = 0;  // how many of them are
    auto flush = [&] {
        builder.text(run, format);
        run.clear();
    };
    for (QChar c : *text) {
        switch (c.unicode()) {
        case 0x13: // field begins: its code follows
            inCode.append(true);
            ++openCodes;
            continue;
        case 0x14: // field separator: the result follows
            if (!inCode.isEmpty() && inCode.last()) {
                inCode.last() = false;
                --openCodes;
            }
            continue;
        case 0x15:
            if (!inCode.isEmpty() && inCode.takeLast())
                --openCodes;
            continue;
        default:
            break;
        }
        if (openCodes > 0)
            continue;
        switch (c.unicode()) {
        case 0x0D:
        case 0x07: // end of a cell or row: a paragraph of its own
        case 0x0C:
            flush();
            builder.endParagraph(QTextBlockFormat());
            break;
        case 0x0B: run += QChar::LineSeparator; break;
        case 0x1E: run += QChar(0x2011); break;
        case 0x1F: run += QChar(0x00AD); break;
        case 0x09: run += QLatin1Char('\t'); break;
        case 0x01:
        case 0x08:
            break; // pictures and drawings are not read
        default:
            if (c.unicode() >= 0x20)
                run += c;
        }
    }
    flush();
    builder.finish(QTextBlockFormat());
    return true;
}

} // namespace Word97
