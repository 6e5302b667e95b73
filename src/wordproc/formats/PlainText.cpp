#include "wordproc/formats/PlainText.h"

#include "wordproc/WPTextModel.h"

#include <QStringDecoder>
#include <QTextDocument>

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
    using namespace WPTextModel;
    QStringList lines;
    auto paragraphText = [](const Paragraph& p) {
        QString t = p.text();
        t.remove(QChar::ObjectReplacementCharacter);
        t.replace(QChar::LineSeparator, QLatin1Char('\n'));
        t.replace(QChar::Nbsp, QLatin1Char(' '));
        return t;
    };
    for (const Part& part : parts(text)) {
        if (const Paragraph* p = std::get_if<Paragraph>(&part)) {
            lines.append(paragraphText(*p));
            continue;
        }
        // A row per line, its cells apart by tabs; a merged cell's text is
        // given once, where it starts.
        const Table& table = std::get<Table>(part);
        QList<QStringList> rows(table.rows, QStringList(table.columns));
        for (const TableCell& cell : table.cells) {
            if (cell.row < 0 || cell.row >= table.rows || cell.column < 0 || cell.column >= table.columns)
                continue;
            QStringList texts;
            for (const Paragraph& p : flattened(cell.paragraphs))
                texts.append(paragraphText(p));
            rows[cell.row][cell.column] = texts.join(QLatin1Char(' '));
        }
        for (const QStringList& row : std::as_const(rows))
            lines.append(row.join(QLatin1Char('\t')));
    }
    const QByteArray out = lines.join(QLatin1Char('\n')).toUtf8();
    // Text that begins with U+FEFF would lose it to the byte-order mark
    // check when read again: a mark of its own keeps it.
    return out.startsWith("\xEF\xBB\xBF") ? "\xEF\xBB\xBF" + out : out;
}

} // namespace PlainText
