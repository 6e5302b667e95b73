#include "calc/expr/ExprNormalizer.h"

namespace Expr {

namespace {

bool needsNormalizing(QStringView text)
{
    const char16_t* s = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (c < 0x80) {
            if (c == u'*' && i + 1 < n && s[i + 1] == u'*')
                return true;
            continue;
        }
        switch (c) {
        case u'×': case u'÷': case u'−': case u'π': case u'√': case u'²': case u'³': case u'·':
            return true;
        default:
            break;
        }
    }
    return false;
}

// Writes the normalised text into `out`. The glyph rewrites cannot create
// one another, only "*" pairs for the last rule, so one pass for the
// glyphs and one left-to-right pass for "**" give the same result as the
// rewrites applied one after another.
void normalizeInto(QStringView text, TextBuffer& out)
{
    out.resize(text.size() * 6); // " sqrt " is the longest rewrite
    char16_t* w = out.data();
    auto put = [&w](std::u16string_view s) {
        for (const char16_t c : s)
            *w++ = c;
    };
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c < u'²') {
            *w++ = c;
            continue;
        }
        switch (c) {
        case u'×': *w++ = u'*'; break;
        case u'÷': *w++ = u'/'; break;
        case u'−': *w++ = u'-'; break;
        case u'π': put(u" pi "); break;
        case u'√': put(u" sqrt "); break;
        case u'²': put(u"^2"); break;
        case u'³': put(u"^3"); break;
        case u'·': *w++ = u'*'; break;
        default: *w++ = c; break;
        }
    }
    char16_t* const begin = out.data();
    char16_t* const end = w;
    w = begin;
    for (const char16_t* r = begin; r < end; ++r) {
        if (*r == u'*' && r + 1 < end && r[1] == u'*') {
            *w++ = u'^';
            ++r;
        } else {
            *w++ = *r;
        }
    }
    out.resize(w - begin);
}

} // namespace

// The normalised text: the input itself when nothing changes, else the
// rewritten copy in `buffer`.
QStringView normalizedView(QStringView text, TextBuffer& buffer)
{
    if (!needsNormalizing(text))
        return text;
    normalizeInto(text, buffer);
    return QStringView(buffer.constData(), buffer.size());
}

} // namespace Expr
