#include "wordproc/formats/PlainText.h"

#include "wordproc/formats/FormatSupport.h"

#include <QStringDecoder>
#include <QTextDocument>
#include <QTextTable>

namespace PlainText {

namespace {

// Lone surrogates (from damaged UTF-16) become U+FFFD, as they would on
// the way to UTF-8 when saving: the text shown is the text saved.
QString withoutLoneSurrogates(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

} // namespace

QString decode(const QByteArray& data)
{
    if (data.startsWith("\xEF\xBB\xBF")) {
        // Only the first mark is the file's; a second one is text.
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        return utf8.decode(data.mid(3));
    }
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(data.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        return withoutLoneSurrogates(decoder.decode(data.mid(2)));
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(data);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(data);
}

void read(const QByteArray& data, QTextDocument* into)
{
    QString text = decode(data);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.remove(QChar::ObjectReplacementCharacter);
    into->clear();
    into->setPlainText(text);
}

QByteArray write(const QTextDocument& text)
{
    using namespace FormatSupport;
    QStringList lines;
    auto blockText = [](const QTextBlock& block) {
        QString t = block.text();
        t.remove(QChar::ObjectReplacementCharacter);
        t.replace(QChar::LineSeparator, QLatin1Char('\n'));
        t.replace(QChar::Nbsp, QLatin1Char(' '));
        return t;
    };
    for (const Item& item : topLevelItems(text)) {
        if (const QTextBlock* block = std::get_if<QTextBlock>(&item)) {
            lines.append(blockText(*block));
            continue;
        }
        const QTextTable* table = std::get<QTextTable*>(item);
        for (int r = 0; r < table->rows(); ++r) {
            QStringList cells;
            for (int c = 0; c < table->columns(); ++c) {
                QStringList parts;
                for (const QTextBlock& b : cellBlocks(table, r, c))
                    parts.append(blockText(b));
                cells.append(parts.join(QLatin1Char(' ')));
            }
            lines.append(cells.join(QLatin1Char('\t')));
        }
    }
    const QByteArray out = lines.join(QLatin1Char('\n')).toUtf8();
    // Text that begins with U+FEFF would lose it to the byte-order mark
    // check when read again: a mark of its own keeps it.
    return out.startsWith("\xEF\xBB\xBF") ? "\xEF\xBB\xBF" + out : out;
}

} // namespace PlainText
