#include "ui/Speller.h"

#include "ui/SpellChecker.h"
#include "ui/SpellLibraries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

namespace {

Hunhandle* openDictionary(const SpellLibraries::Hunspell* api, const QString& name)
{
    const QString base = Speller::dictionaryFolder() + QLatin1Char('/') + name;
    if (!QFileInfo::exists(base + QStringLiteral(".aff")) || !QFileInfo::exists(base + QStringLiteral(".dic")))
        return nullptr;
    return api->create(QFile::encodeName(base + QStringLiteral(".aff")).constData(),
                       QFile::encodeName(base + QStringLiteral(".dic")).constData());
}

} // namespace

QString Speller::dictionaryFolder()
{
    return QStringLiteral("/usr/share/hunspell");
}

std::shared_ptr<Speller> Speller::load()
{
    const SpellLibraries::Hunspell* api = SpellLibraries::hunspell();
    if (!api)
        return nullptr;
    const QString mine = SpellChecker::dictionaryName(QLocale());
    Hunhandle* main = openDictionary(api, mine);
    if (!main)
        return nullptr;
    QList<Hunhandle*> others;
    const QStringList english = QDir(dictionaryFolder()).entryList({QStringLiteral("en_*.dic")}, QDir::Files, QDir::Name);
    for (const QString& file : english) {
        const QString name = file.chopped(4);
        if (name == mine)
            continue;
        if (Hunhandle* h = openDictionary(api, name))
            others.append(h);
    }
    return std::make_shared<Speller>(api, main, std::move(others));
}

Speller::Speller(const SpellLibraries::Hunspell* api, Hunhandle* handle, QList<Hunhandle*> others)
    : m_api(api), m_handle(handle), m_others(std::move(others))
{
}

Speller::~Speller()
{
    m_api->destroy(m_handle);
    for (Hunhandle* h : std::as_const(m_others))
        m_api->destroy(h);
}

bool Speller::spell(const QString& word) const
{
    return m_api->spell(m_handle, word.toUtf8().constData()) != 0;
}

bool Speller::anyEnglishSpells(const QString& word) const
{
    const QByteArray utf8 = word.toUtf8();
    return std::any_of(m_others.cbegin(), m_others.cend(),
                       [&](Hunhandle* h) { return m_api->spell(h, utf8.constData()) != 0; });
}

void Speller::add(const QString& word)
{
    m_api->add(m_handle, word.toUtf8().constData());
}

QStringList Speller::suggest(const QString& word, int max) const
{
    QStringList out;
    char** list = nullptr;
    const int n = m_api->suggest(m_handle, &list, word.toUtf8().constData());
    for (int i = 0; i < n && out.size() < max; ++i)
        out << QString::fromUtf8(list[i]);
    if (list)
        m_api->freeList(m_handle, &list, n);
    return out;
}

QStringList Speller::correctionGuesses(const QString& word, int max) const
{
    QStringList out = suggest(word, max);
    if (word.size() > 30)
        return out;
    // Each letter of `w` doubled or, where doubled, made single.
    auto variants = [](const QString& w) {
        QStringList v;
        for (qsizetype i = 0; i < w.size(); ++i) {
            if (!w.at(i).isLetter())
                continue;
            if (i + 1 < w.size() && w.at(i + 1) == w.at(i))
                v << QString(w).remove(i, 1);
            else if (i == 0 || w.at(i - 1) != w.at(i))
                v << QString(w).insert(i, w.at(i));
        }
        return v;
    };
    const QStringList once = variants(word);
    QStringList all = once;
    for (const QString& v : once)
        all << variants(v);
    for (const QString& v : std::as_const(all)) {
        if (v != word && !out.contains(v) && spell(v))
            out << v;
    }
    return out;
}
