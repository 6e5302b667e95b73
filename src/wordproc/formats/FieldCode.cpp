#include "wordproc/formats/FieldCode.h"

#include "wordproc/print/WPPrint.h"

#include <QDate>
#include <QLocale>

namespace FieldCode {

QString hyperlinkTarget(const QString& instruction)
{
    // Words of the instruction; quoted ones keep their spaces.
    QStringList words;
    const QString code = instruction.trimmed();
    for (qsizetype i = 0; i < code.size();) {
        if (code.at(i).isSpace()) {
            ++i;
            continue;
        }
        if (code.at(i) == QLatin1Char('"')) {
            const qsizetype end = code.indexOf(QLatin1Char('"'), i + 1);
            words << code.mid(i + 1, end < 0 ? -1 : end - i - 1);
            i = end < 0 ? code.size() : end + 1;
            continue;
        }
        qsizetype end = i;
        while (end < code.size() && !code.at(end).isSpace())
            ++end;
        words << code.mid(i, end - i);
        i = end;
    }
    if (words.isEmpty() || words.first().compare(QLatin1String("HYPERLINK"), Qt::CaseInsensitive) != 0)
        return QString();
    QString address;
    QString fragment;
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString& w = words.at(i);
        if (w.size() == 2 && w.startsWith(QLatin1Char('\\'))) {
            // Switches: \l names a place in the document; \o, \t, \m and \n
            // (tip, target frame, ...) take a value or none and say nothing
            // of the target.
            const QChar s = w.at(1).toLower();
            if (s == QLatin1Char('l') && i + 1 < words.size())
                fragment = words.at(++i);
            else if ((s == QLatin1Char('o') || s == QLatin1Char('t')) && i + 1 < words.size())
                ++i;
            continue;
        }
        if (address.isEmpty())
            address = w;
    }
    address = address.trimmed();
    fragment = fragment.trimmed();
    if (!fragment.isEmpty())
        return address + QLatin1Char('#') + fragment;
    return address;
}

QString hyperlinkInstruction(const QString& target)
{
    QString clean = target;
    clean.remove(QLatin1Char('"'));
    const qsizetype hash = clean.indexOf(QLatin1Char('#'));
    if (hash == 0)
        return QStringLiteral(" HYPERLINK \\l \"%1\" ").arg(clean.mid(1));
    return QStringLiteral(" HYPERLINK \"%1\" ").arg(clean);
}

QList<Piece> templatePieces(const QString& text)
{
    return templatePieces(text, QString(), WPPrint::mediumDate(QDate::currentDate(), QLocale()));
}

QList<Piece> templatePieces(const QString& text, const QString& title, const QString& date)
{
    QString rest = text;
    rest.replace(QLatin1String("{date}"), date);
    rest.replace(QLatin1String("{title}"), title);
    QList<Piece> pieces;
    auto plain = [&pieces](const QString& t) {
        if (!t.isEmpty())
            pieces.append({Piece::Text, t});
    };
    const QString page = QStringLiteral("{page}");
    const QString pages = QStringLiteral("{pages}");
    for (;;) {
        const qsizetype a = rest.indexOf(page);
        const qsizetype b = rest.indexOf(pages);
        if (a < 0 && b < 0)
            break;
        const bool isPages = b >= 0 && (a < 0 || b <= a);
        const qsizetype at = isPages ? b : a;
        plain(rest.left(at));
        pieces.append({isPages ? Piece::Pages : Piece::Page, QString()});
        rest = rest.mid(at + (isPages ? pages.size() : page.size()));
    }
    plain(rest);
    return pieces;
}

} // namespace FieldCode
