#include "wordproc/formats/HtmlTags.h"

namespace HtmlTags {

namespace {

// Named entities that stand for a character a number or a name could be
// read through (spaces and the marks of tags). Any other name stands for a
// character that is neither, or for nothing, and both end the same way: a
// number or a name holding it is no number or name Qt acts on.
char16_t namedEntity(QStringView name)
{
    static const struct {
        const char16_t* name;
        char16_t c;
    } known[] = {{u"amp", u'&'},       {u"lt", u'<'},        {u"gt", u'>'},        {u"quot", u'"'},
                 {u"apos", u'\''},     {u"nbsp", u'\u00A0'}, {u"ensp", u'\u2002'}, {u"emsp", u'\u2003'},
                 {u"thinsp", u'\u2009'}};
    for (const auto& k : known) {
        if (name == QStringView(k.name))
            return k.c;
    }
    return 0;
}

class Lexer {
public:
    explicit Lexer(QStringView html, qsizetype at) : m_html(html), m_pos(at) {}

    Tag tag()
    {
        Tag t;
        ++m_pos; // '<'
        eatSpace();
        if (next(u'!')) {
            t.kind = Tag::Declaration;
            ++m_pos;
            if (next(u'-') && next(u'-', 1)) {
                const qsizetype end = m_html.indexOf(u"-->", m_pos + 2);
                t.end = end >= 0 ? end + 3 : m_html.size();
            } else {
                skipPastEnd();
                t.end = m_pos;
            }
            return t;
        }
        if (next(u'/')) {
            t.kind = Tag::Close;
            ++m_pos;
            t.name = word().toLower().trimmed();
            skipPastEnd();
            t.end = m_pos;
            return t;
        }
        t.name = word().toLower();
        // Attributes only after a space that follows the name.
        if (m_pos < m_html.size() && m_html.at(m_pos).isSpace())
            t.attributes = attributes();
        for (; m_pos < m_html.size() && m_html.at(m_pos) != u'>'; ++m_pos) {
            if (m_html.at(m_pos) == u'/')
                t.closed = true;
        }
        t.end = std::min(m_pos + 1, m_html.size());
        return t;
    }

private:
    bool next(char16_t c, qsizetype ahead = 0) const
    {
        return m_pos + ahead < m_html.size() && m_html.at(m_pos + ahead) == c;
    }

    void eatSpace()
    {
        while (m_pos < m_html.size() && m_html.at(m_pos).isSpace() && m_html.at(m_pos) != QChar::ParagraphSeparator)
            ++m_pos;
    }

    void skipPastEnd()
    {
        while (m_pos < m_html.size() && m_html.at(m_pos++) != u'>') {
        }
    }

    // After '&': the character an entity stands for, or '&' itself with
    // the reading left just after it.
    QString entity()
    {
        const qsizetype recover = m_pos;
        qsizetype length = 0;
        while (m_pos < m_html.size()) {
            const QChar c = m_html.at(m_pos++);
            if (c.isSpace() || m_pos - recover > 9) {
                m_pos = recover;
                return QStringLiteral("&");
            }
            if (c == u';')
                break;
            ++length;
        }
        if (length > 0) {
            const QStringView name = m_html.mid(recover, length);
            if (const char16_t c = namedEntity(name))
                return QString(QChar(c));
            if (name.size() > 1 && name.at(0) == u'#') {
                QStringView digits = name.mid(1);
                int base = 10;
                if (digits.at(0).toLower() == u'x') {
                    digits = digits.mid(1);
                    base = 16;
                }
                bool ok = false;
                const uint uc = digits.toUInt(&ok, base);
                if (ok) {
                    // Qt reads 0x80-0x9f as the Windows letters and marks
                    // in those places: none is a digit or a space.
                    if (uc >= 0x80 && uc < 0xa0)
                        return QString(QChar::ReplacementCharacter);
                    const char32_t c = uc;
                    return QString::fromUcs4(&c, 1);
                }
            }
        }
        m_pos = recover;
        return QStringLiteral("&");
    }

    // One word, quoted or not.
    QString word()
    {
        QString w;
        if (next(u'"')) {
            ++m_pos;
            while (m_pos < m_html.size()) {
                const QChar c = m_html.at(m_pos++);
                if (c == u'"')
                    break;
                if (c == u'&')
                    w += entity();
                else
                    w += c;
            }
        } else if (next(u'\'')) {
            ++m_pos;
            while (m_pos < m_html.size()) {
                const QChar c = m_html.at(m_pos++);
                // A quote after a backslash is part of the value.
                if (c == u'\'' && m_html.at(m_pos - 2) != u'\\')
                    break;
                w += c;
            }
        } else {
            while (m_pos < m_html.size()) {
                const QChar c = m_html.at(m_pos++);
                if (c == u'>' || (c == u'/' && next(u'>')) || c == u'<' || c == u'=' || c.isSpace()) {
                    --m_pos;
                    break;
                }
                if (c == u'&')
                    w += entity();
                else
                    w += c;
            }
        }
        return w;
    }

    QList<Attribute> attributes()
    {
        QList<Attribute> found;
        while (m_pos < m_html.size()) {
            eatSpace();
            if (next(u'>') || next(u'/'))
                break;
            Attribute a;
            a.key = word().toLower();
            if (a.key.isEmpty())
                break;
            a.value = QStringLiteral("1");
            eatSpace();
            if (next(u'=')) {
                ++m_pos;
                eatSpace();
                a.valueStart = m_pos;
                a.value = word();
                a.valueEnd = m_pos;
            }
            if (!a.value.isEmpty())
                found.append(a);
        }
        return found;
    }

    QStringView m_html;
    qsizetype m_pos;
};

} // namespace

Tag read(QStringView html, qsizetype at)
{
    return Lexer(html, at).tag();
}

} // namespace HtmlTags
