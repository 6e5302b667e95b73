#include "ui/GrammarParser.h"

#include "ui/SpellChecker.h"
#include "ui/SpellLibraries.h"

#include <QCoreApplication>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <algorithm>
#include <atomic>
#include <mutex>

namespace {

void quiet(lg_errinfo*, void*) {}

const SpellLibraries::LinkGrammar* lg()
{
    return SpellLibraries::linkGrammar();
}

// The dictionary is shared by the threads that check; one parse at a time.
QMutex& parseMutex()
{
    static QMutex m;
    return m;
}

// Forms of "be", "have" and "do" that agree with another subject.
const QHash<QString, QStringList>& irregularNumber()
{
    static const QHash<QString, QStringList> forms = {
        {QStringLiteral("is"), {QStringLiteral("are"), QStringLiteral("am")}},
        {QStringLiteral("are"), {QStringLiteral("is"), QStringLiteral("am")}},
        {QStringLiteral("am"), {QStringLiteral("is"), QStringLiteral("are")}},
        {QStringLiteral("was"), {QStringLiteral("were")}},
        {QStringLiteral("were"), {QStringLiteral("was")}},
        {QStringLiteral("has"), {QStringLiteral("have")}},
        {QStringLiteral("have"), {QStringLiteral("has")}},
        {QStringLiteral("does"), {QStringLiteral("do")}},
        {QStringLiteral("do"), {QStringLiteral("does")}},
        {QStringLiteral("isn't"), {QStringLiteral("aren't")}},
        {QStringLiteral("aren't"), {QStringLiteral("isn't")}},
        {QStringLiteral("wasn't"), {QStringLiteral("weren't")}},
        {QStringLiteral("weren't"), {QStringLiteral("wasn't")}},
        {QStringLiteral("doesn't"), {QStringLiteral("don't")}},
        {QStringLiteral("don't"), {QStringLiteral("doesn't")}},
        {QStringLiteral("hasn't"), {QStringLiteral("haven't")}},
        {QStringLiteral("haven't"), {QStringLiteral("hasn't")}},
    };
    return forms;
}

QString replaced(const QString& text, const SpellChecker::Range& r, const QString& with)
{
    QString out = text;
    out.replace(r.start, r.length, with);
    return out;
}

// The sentence's words with apostrophes made plain.
QString plainWord(const QString& sentence, const SpellChecker::Range& r)
{
    QString w = sentence.mid(r.start, r.length);
    w.replace(QChar(0x2019), QLatin1Char('\''));
    return w;
}

} // namespace

std::unique_ptr<GrammarParser> GrammarParser::load()
{
    if (!lg())
        return nullptr;
    quietThread();
    Dictionary dict = lg()->createDictionary("en");
    if (!dict)
        return nullptr;
    return std::unique_ptr<GrammarParser>(new GrammarParser(dict));
}

namespace {

enum SharedState { Unknown, Ready, Failed };
std::atomic<int> sharedState{Unknown};

} // namespace

const GrammarParser* GrammarParser::shared()
{
    static std::once_flag once;
    static const GrammarParser* parser = nullptr;
    std::call_once(once, [] {
        parser = load().release(); // kept for the process
        sharedState.store(parser ? Ready : Failed);
    });
    return parser;
}

bool GrammarParser::isSharedDone()
{
    return sharedState.load() != Unknown;
}

bool GrammarParser::isSharedReady()
{
    return sharedState.load() == Ready;
}

GrammarParser::GrammarParser(Dictionary dict) : m_dict(dict) {}

GrammarParser::~GrammarParser()
{
    lg()->deleteDictionary(m_dict);
}

void GrammarParser::quietThread()
{
    if (lg())
        lg()->setErrorHandler(quiet, nullptr);
}

Parse_Options GrammarParser::makeOptions()
{
    Parse_Options o = lg()->createOptions();
    lg()->setVerbosity(o, 0);
    lg()->setMinNullCount(o, 0);
    lg()->setMaxNullCount(o, 0);
    lg()->setMaxParseTime(o, 1);
    return o;
}

void GrammarParser::deleteOptions(Parse_Options options)
{
    if (options && lg())
        lg()->deleteOptions(options);
}

bool GrammarParser::parses(const QString& sentence, Parse_Options options) const
{
    QMutexLocker lock(&parseMutex());
    bool ok = true;
    const QByteArray utf8 = sentence.toUtf8();
    if (Sentence s = lg()->createSentence(utf8.constData(), m_dict)) {
        const int linkages = lg()->parseSentence(s, options);
        // A parse that ran out of time says nothing about the sentence.
        ok = linkages > 0 || lg()->timerExpired(options) || lg()->resourcesExhausted(options);
        lg()->deleteSentence(s);
    }
    return ok;
}

QStringList GrammarParser::unlinkedWords(const QString& sentence, Parse_Options options) const
{
    QMutexLocker lock(&parseMutex());
    QStringList out;
    const QByteArray utf8 = sentence.toUtf8();
    Sentence s = lg()->createSentence(utf8.constData(), m_dict);
    if (!s)
        return out;
    lg()->setMinNullCount(options, 1);
    lg()->setMaxNullCount(options, std::max(1, lg()->sentenceLength(s)));
    if (lg()->parseSentence(s, options) > 0) {
        if (Linkage l = lg()->createLinkage(0, s, options)) {
            const int count = int(lg()->linkageWordCount(l));
            for (int i = 0; i < count; ++i) {
                // Unlinked words come in brackets: "[go]".
                const QString w = QString::fromUtf8(lg()->linkageWord(l, i));
                if (w.size() > 2 && w.startsWith(QLatin1Char('[')) && w.endsWith(QLatin1Char(']')))
                    out << w.mid(1, w.size() - 2);
            }
            lg()->deleteLinkage(l);
        }
    }
    lg()->setMinNullCount(options, 0);
    lg()->setMaxNullCount(options, 0);
    lg()->deleteSentence(s);
    return out;
}

bool GrammarParser::isKnown(const QString& word) const
{
    const QByteArray utf8 = word.toUtf8();
    QMutexLocker lock(&parseMutex());
    return lg()->wordIsKnown(m_dict, utf8.constData());
}

QString GrammarParser::withStandIns(const QString& sentence) const
{
    // Replaced from the end, so earlier positions stay valid.
    QString out = sentence;
    const QList<SpellChecker::Range> words = SpellChecker::words(sentence);
    for (qsizetype i = words.size() - 1; i >= 0; --i) {
        const QString w = plainWord(sentence, words.at(i));
        if (isKnown(w) || isKnown(w.toLower()))
            continue;
        QString standIn;
        if (w.at(0).isUpper() && i > 0)
            standIn = QStringLiteral("London");
        else if (w.endsWith(QLatin1String("ing")))
            standIn = QStringLiteral("walking");
        else if (w.endsWith(QLatin1String("ed")))
            standIn = QStringLiteral("walked");
        else if (w.endsWith(QLatin1String("ly")))
            standIn = QStringLiteral("quickly");
        else if (w.endsWith(QLatin1Char('s')) && !w.endsWith(QLatin1String("ss")))
            standIn = QStringLiteral("things");
        else
            standIn = QStringLiteral("thing");
        if (w.at(0).isUpper())
            standIn[0] = standIn.at(0).toUpper();
        out = replaced(out, words.at(i), standIn);
    }
    return out;
}

QStringList GrammarParser::otherNumber(const QString& word) const
{
    const QString w = word.toLower();
    if (auto it = irregularNumber().constFind(w); it != irregularNumber().constEnd())
        return *it;
    QStringList candidates;
    if (w.endsWith(QLatin1String("ies")))
        candidates << w.chopped(3) + QLatin1Char('y');
    if (w.endsWith(QLatin1String("es")))
        candidates << w.chopped(2);
    if (w.endsWith(QLatin1Char('s')) && !w.endsWith(QLatin1String("ss")))
        candidates << w.chopped(1);
    if (!w.endsWith(QLatin1Char('s'))) {
        if (w.endsWith(QLatin1Char('y')) && w.size() > 2 && !QStringLiteral("aeiou").contains(w.at(w.size() - 2)))
            candidates << w.chopped(1) + QStringLiteral("ies");
        candidates << w + QLatin1Char('s') << w + QStringLiteral("es");
    }
    QStringList out;
    for (const QString& c : std::as_const(candidates)) {
        if (c.size() > 1 && isKnown(c))
            out << c;
    }
    return out;
}

GrammarParser::Verdict GrammarParser::check(const QString& sentence, Parse_Options options) const
{
    if (parses(sentence, options))
        return {};
    const QString standIns = withStandIns(sentence);
    if (standIns != sentence && parses(standIns, options))
        return {};
    // A fragment: "Sorry for the late reply.", "Thanks for your help."
    QString fragment = standIns;
    if (!fragment.startsWith(QLatin1String("I ")))
        fragment[0] = fragment.at(0).toLower();
    if (parses(QStringLiteral("It is ") + fragment, options))
        return {};
    // One word in the other number: a verb that does not agree. Verbs
    // follow their subjects, so the last words are tried first.
    const QList<SpellChecker::Range> words = SpellChecker::words(standIns);
    for (qsizetype i = words.size() - 1; i >= 0; --i) {
        const QString w = plainWord(standIns, words.at(i));
        for (const QString& other : otherNumber(w)) {
            QString form = other;
            if (w.at(0).isUpper())
                form[0] = form.at(0).toUpper();
            if (parses(replaced(standIns, words.at(i), form), options)) {
                return {false, QCoreApplication::translate("GrammarParser",
                                                           "“%1” may not agree with its subject; perhaps “%2”.")
                                   .arg(w, form)};
            }
        }
    }
    const QStringList unlinked = unlinkedWords(standIns, options);
    // A word the dictionary knows only in another sense ("commute" as a
    // noun): one unlinked word that reads well as a noun.
    if (unlinked.size() == 1) {
        for (qsizetype i = 0; i < words.size(); ++i) {
            if (plainWord(standIns, words.at(i)).compare(unlinked.first(), Qt::CaseInsensitive) == 0
                && parses(replaced(standIns, words.at(i), QStringLiteral("thing")), options))
                return {};
        }
    }
    if (unlinked.isEmpty())
        return {false, QCoreApplication::translate("GrammarParser", "the sentence does not hold together.")};
    return {false, QCoreApplication::translate("GrammarParser", "“%1” does not fit with the words around it.")
                       .arg(unlinked.join(QLatin1Char(' ')))};
}
