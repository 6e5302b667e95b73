#include "ui/GrammarParser.h"

#include "ui/SpellChecker.h"
#include "ui/SpellLibraries.h"

#include <QCoreApplication>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <algorithm>
#include <atomic>
#include <limits>
#include <mutex>

namespace {

void quiet(lg_errinfo*, void*) {}

// A reading this strained (the grammar's own cost) may hide a slip; a
// changed word must make it plainer by this much to count as the fix.
const double kStrained = 1.5;
const double kPlainer = 1.5;
// A reading this light is a plain one.
const double kPlain = 1.0;
// How long one sentence may take to settle, all its readings together.
const int kBudgetMs = 2000;

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

// "were" after "if", "wish", "as though": right with any subject.
bool subjunctive(const QList<SpellChecker::Range>& words, qsizetype at, const QString& sentence)
{
    if (plainWord(sentence, words.at(at)).toLower() != QLatin1String("were"))
        return false;
    static const QStringList openers = {QStringLiteral("if"), QStringLiteral("wish"), QStringLiteral("wished"),
                                        QStringLiteral("though"), QStringLiteral("unless"), QStringLiteral("suppose")};
    for (qsizetype i = 0; i < at; ++i) {
        if (openers.contains(plainWord(sentence, words.at(i)).toLower()))
            return true;
    }
    return false;
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

GrammarParser::Reading GrammarParser::read(const QString& sentence, Parse_Options options, bool allowUnlinked) const
{
    QMutexLocker lock(&parseMutex());
    Reading out;
    const QByteArray utf8 = sentence.toUtf8();
    Sentence s = lg()->createSentence(utf8.constData(), m_dict);
    if (!s)
        return {true, 0.0, {}};
    if (allowUnlinked) {
        lg()->setMinNullCount(options, 1);
        lg()->setMaxNullCount(options, int(sentence.count(QLatin1Char(' '))) + 3);
    }
    const int linkages = lg()->parseSentence(s, options);
    if (linkages > 0) {
        out.parsed = true;
        out.cost = double(lg()->disjunctCost(s, 0));
        if (Linkage l = lg()->createLinkage(0, s, options)) {
            const int count = int(lg()->linkageWordCount(l));
            for (int i = 0; i < count; ++i)
                out.words << QString::fromUtf8(lg()->linkageWord(l, i));
            lg()->deleteLinkage(l);
        }
    } else {
        out.parsed = lg()->timerExpired(options) || lg()->resourcesExhausted(options);
    }
    if (allowUnlinked) {
        lg()->setMinNullCount(options, 0);
        lg()->setMaxNullCount(options, 0);
    }
    lg()->deleteSentence(s);
    return out;
}

bool GrammarParser::parses(const QString& sentence, Parse_Options options) const
{
    return read(sentence, options).parsed;
}

bool GrammarParser::isKnown(const QString& word) const
{
    const QByteArray utf8 = word.toUtf8();
    QMutexLocker lock(&parseMutex());
    // The dictionary's own entries only: its guesses for unknown words
    // (by ending, by capital) would make any word known.
    Dict_node* found = lg()->lookupList(m_dict, utf8.constData());
    if (found)
        lg()->freeLookupList(m_dict, found);
    return found != nullptr;
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

namespace {

// A personal pronoun right before a form of "be" that never goes with it
// ("it are", "I is"), which the grammar lets through in a few sentences.
QString pronounDisagreement(const QString& sentence)
{
    static const QHash<QString, QStringList> never = {
        {QStringLiteral("i"), {QStringLiteral("is"), QStringLiteral("are"), QStringLiteral("isn't"), QStringLiteral("aren't"),
                               QStringLiteral("has"), QStringLiteral("does"), QStringLiteral("doesn't")}},
        {QStringLiteral("he"), {QStringLiteral("are"), QStringLiteral("am"), QStringLiteral("aren't"),
                                QStringLiteral("have"), QStringLiteral("don't"), QStringLiteral("haven't")}},
        {QStringLiteral("she"), {QStringLiteral("are"), QStringLiteral("am"), QStringLiteral("aren't"),
                                 QStringLiteral("have"), QStringLiteral("don't"), QStringLiteral("haven't")}},
        {QStringLiteral("it"), {QStringLiteral("are"), QStringLiteral("am"), QStringLiteral("aren't"),
                                QStringLiteral("have"), QStringLiteral("don't"), QStringLiteral("haven't")}},
        {QStringLiteral("we"), {QStringLiteral("is"), QStringLiteral("am"), QStringLiteral("isn't"),
                                QStringLiteral("has"), QStringLiteral("does"), QStringLiteral("doesn't")}},
        {QStringLiteral("you"), {QStringLiteral("is"), QStringLiteral("am"), QStringLiteral("isn't"),
                                 QStringLiteral("has"), QStringLiteral("does"), QStringLiteral("doesn't")}},
        {QStringLiteral("they"), {QStringLiteral("is"), QStringLiteral("am"), QStringLiteral("isn't"),
                                  QStringLiteral("has"), QStringLiteral("does"), QStringLiteral("doesn't")}},
    };
    // After these the plain form is right: "does it have", "can he do".
    static const QStringList helpers = {
        QStringLiteral("do"), QStringLiteral("does"), QStringLiteral("did"), QStringLiteral("doesn't"),
        QStringLiteral("didn't"), QStringLiteral("can"), QStringLiteral("could"), QStringLiteral("will"),
        QStringLiteral("would"), QStringLiteral("shall"), QStringLiteral("should"), QStringLiteral("may"),
        QStringLiteral("might"), QStringLiteral("must"), QStringLiteral("to"), QStringLiteral("let"),
        QStringLiteral("make"), QStringLiteral("made"), QStringLiteral("help"), QStringLiteral("saw"),
        QStringLiteral("see"), QStringLiteral("watch"), QStringLiteral("hear"), QStringLiteral("heard"),
        QStringLiteral("won't"), QStringLiteral("can't"), QStringLiteral("couldn't"), QStringLiteral("wouldn't"),
        QStringLiteral("shouldn't"), QStringLiteral("if"), QStringLiteral("that"), QStringLiteral("lest"),
    };
    const QList<SpellChecker::Range> words = SpellChecker::words(sentence);
    for (qsizetype i = 0; i + 1 < words.size(); ++i) {
        const auto& a = words.at(i);
        const auto& b = words.at(i + 1);
        if (i > 0 && helpers.contains(plainWord(sentence, words.at(i - 1)).toLower()))
            continue;
        // Next to each other, with only a space between.
        if (b.start != a.start + a.length + 1 || sentence.at(a.start + a.length) != QLatin1Char(' '))
            continue;
        const QString first = plainWord(sentence, a).toLower();
        if (never.value(first).contains(plainWord(sentence, b).toLower()))
            return sentence.mid(a.start, b.start + b.length - a.start);
    }
    return QString();
}

} // namespace

QString GrammarParser::determinerDisagreement(const QString& sentence, const QDeadlineTimer& deadline,
                                              Parse_Options options) const
{
    static const QHash<QString, QString> other = {
        {QStringLiteral("this"), QStringLiteral("these")},
        {QStringLiteral("these"), QStringLiteral("this")},
        {QStringLiteral("that"), QStringLiteral("those")},
        {QStringLiteral("those"), QStringLiteral("that")},
    };
    const QList<SpellChecker::Range> words = SpellChecker::words(sentence);
    for (const SpellChecker::Range& r : words) {
        const QString w = plainWord(sentence, r);
        QString form = other.value(w.toLower());
        if (form.isEmpty() || deadline.hasExpired())
            continue;
        if (w.at(0).isUpper())
            form[0] = form.at(0).toUpper();
        const Reading changed = read(replaced(sentence, r, form), options);
        if (changed.parsed && changed.cost < kPlain)
            return QCoreApplication::translate("GrammarParser", "“%1” may not agree with the noun after it; perhaps “%2”.")
                .arg(w, form);
    }
    return QString();
}

QString GrammarParser::disagreement(const QString& sentence, const Reading& reading, double fixedBelow,
                                    const QDeadlineTimer& deadline, Parse_Options options) const
{
    // A word read as a verb, or left unlinked.
    auto verbOrUnlinked = [&](const QString& word) {
        const QString w = word.toLower();
        return std::any_of(reading.words.cbegin(), reading.words.cend(), [&](const QString& r) {
            const QString l = r.toLower();
            return l == QLatin1Char('[') + w + QLatin1Char(']') || l.startsWith(w + QStringLiteral(".v"));
        });
    };
    // Verbs follow their subjects: the last words are tried first. Words
    // read as verbs or left unlinked come first; a word read otherwise
    // ("lives" as a noun in "My friends lives in Glasgow.") counts only
    // when its other form gives a plain reading.
    const QList<SpellChecker::Range> words = SpellChecker::words(sentence);
    for (int tier = 0; tier < 2; ++tier)
    for (qsizetype i = words.size() - 1; i >= 0; --i) {
        const QString w = plainWord(sentence, words.at(i));
        if (verbOrUnlinked(w) != (tier == 0) || subjunctive(words, i, sentence) || deadline.hasExpired())
            continue;
        for (const QString& other : otherNumber(w)) {
            QString form = other;
            if (w.at(0).isUpper())
                form[0] = form.at(0).toUpper();
            const Reading changed = read(replaced(sentence, words.at(i), form), options);
            const QString asVerb = form.toLower() + QStringLiteral(".v");
            const bool verb = std::any_of(changed.words.cbegin(), changed.words.cend(),
                                          [&](const QString& r) { return r.toLower().startsWith(asVerb); });
            if (changed.parsed && verb && changed.cost < (tier == 0 ? fixedBelow : std::min(fixedBelow, kPlain))) {
                return QCoreApplication::translate("GrammarParser", "“%1” may not agree with its subject; perhaps “%2”.")
                    .arg(w, form);
            }
        }
    }
    return QString();
}

GrammarParser::Verdict GrammarParser::check(const QString& sentence, Parse_Options options) const
{
    if (const QString pair = pronounDisagreement(sentence); !pair.isEmpty())
        return {false, QCoreApplication::translate("GrammarParser", "“%1”: the verb may not agree with its subject.")
                           .arg(pair)};
    const QDeadlineTimer deadline(kBudgetMs);
    const Reading first = read(sentence, options);
    if (first.parsed) {
        // Parsed, but perhaps only in a strained reading that a verb in its
        // other number makes plain ("The flowers needs more water.").
        if (first.cost < kStrained || first.words.isEmpty())
            return {};
        const QString reason = disagreement(sentence, first, first.cost - kPlainer, deadline, options);
        return reason.isEmpty() ? Verdict{} : Verdict{false, reason};
    }
    const QString standIns = withStandIns(sentence);
    if (standIns != sentence && parses(standIns, options))
        return {};
    const Reading loose = read(standIns, options, true);
    if (const QString reason =
            disagreement(standIns, loose, std::numeric_limits<double>::infinity(), deadline, options);
        !reason.isEmpty())
        return {false, reason};
    if (const QString reason = determinerDisagreement(standIns, deadline, options); !reason.isEmpty())
        return {false, reason};
    if (deadline.hasExpired())
        return {}; // not settled: no underline
    // A fragment: "Sorry for the late reply.", "Thanks for your help."
    QString fragment = standIns;
    if (!fragment.startsWith(QLatin1String("I ")))
        fragment[0] = fragment.at(0).toLower();
    for (const char* frame : {"It is ", "It is a "}) {
        if (parses(QLatin1String(frame) + fragment, options))
            return {};
    }
    QStringList unlinked;
    for (const QString& w : loose.words) {
        if (w.size() > 2 && w.startsWith(QLatin1Char('[')) && w.endsWith(QLatin1Char(']')))
            unlinked << w.mid(1, w.size() - 2);
    }
    // A verb the dictionary does not know as a noun ("commute"): one
    // unlinked word that is a verb and reads well as a noun.
    if (unlinked.size() == 1 && parses(QStringLiteral("I ") + unlinked.first().toLower() + QLatin1Char('.'), options)) {
        const QList<SpellChecker::Range> words = SpellChecker::words(standIns);
        for (const SpellChecker::Range& r : words) {
            if (plainWord(standIns, r).compare(unlinked.first(), Qt::CaseInsensitive) == 0
                && parses(replaced(standIns, r, QStringLiteral("thing")), options))
                return {};
        }
    }
    if (unlinked.isEmpty())
        return {false, QCoreApplication::translate("GrammarParser", "the sentence does not hold together.")};
    return {false, QCoreApplication::translate("GrammarParser", "“%1” does not fit with the words around it.")
                       .arg(unlinked.join(QLatin1Char(' ')))};
}
