#include "ui/SpellChecker.h"

#include "core/SafeFile.h"
#include "core/SettingsStore.h"
#include "ui/Autocorrect.h"
#include "ui/GrammarParser.h"
#include "ui/GrammarWorker.h"
#include "ui/Speller.h"
#include "ui/SuggestWorker.h"
#include "ui/WordFrequency.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <future>
#include <optional>

namespace {

const int kMaxGrammarWords = 40;
const int kMinGrammarWords = 3;
const int kCacheLimit = 50000;

bool isAllCaps(const QString& w)
{
    int letters = 0;
    for (QChar c : w) {
        if (c.isLetter()) {
            ++letters;
            if (!c.isUpper())
                return false;
        }
    }
    return letters > 1;
}

} // namespace

struct SpellChecker::Impl {
    // Built on a worker thread; adopted by the interface thread once ready.
    std::shared_future<std::shared_ptr<Speller>> hunspellLoading;
    std::shared_ptr<Speller> hunspell;
    bool hunspellAdopted = false;
    QThread* thread = nullptr;
    GrammarWorker* worker = nullptr;
    QSet<QString> inFlight;
    QHash<QString, bool> words;
    QHash<QString, GrammarParser::Verdict> sentences;
    QHash<QString, QList<SpellChecker::Range>> sentenceSpelling;
    QHash<QString, bool> checkable;
    QHash<QString, QString> corrections;
    QSet<QString> correcting;
    QThread* suggestThread = nullptr;
    SuggestWorker* suggester = nullptr;
    QSet<QString> ignored;
    QSet<QString> learned;
    QSet<QString> ignoredSentences;
    Parse_Options options = nullptr; // the interface thread's own

    void startHunspell(SpellChecker* owner)
    {
        if (hunspellLoading.valid())
            return;
        // The checker lives for the process, so the worker may call back.
        // The call may arrive a moment before the result is handed over:
        // speller() waits for that moment.
        hunspellLoading = std::async(std::launch::async, [this, owner] {
                              std::shared_ptr<Speller> h = Speller::load();
                              QMetaObject::invokeMethod(owner, [this, owner] {
                                  speller(owner, true);
                                  Q_EMIT owner->spellingReady();
                              }, Qt::QueuedConnection);
                              return h;
                          }).share();
    }

    bool hunspellDone() const
    {
        return hunspellAdopted
            || (hunspellLoading.valid() && hunspellLoading.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
    }

    // The word list; `wait`: build it now if need be, else nothing until
    // the worker has finished.
    Speller* speller(SpellChecker* owner, bool wait)
    {
        if (hunspellAdopted)
            return hunspell.get();
        startHunspell(owner);
        if (!wait && !hunspellDone())
            return nullptr;
        hunspell = hunspellLoading.get();
        hunspellAdopted = true;
        if (hunspell) {
            for (const QString& w : std::as_const(learned))
                hunspell->add(w);
        }
        return hunspell.get();
    }
};

SpellChecker& SpellChecker::shared()
{
    static SpellChecker* checker = new SpellChecker; // lives for the process
    return *checker;
}

SpellChecker::SpellChecker() : d(std::make_unique<Impl>())
{
    QFile f(learnedWordsPath());
    if (f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream in(&f);
        while (!in.atEnd()) {
            const QString w = in.readLine().trimmed();
            if (!w.isEmpty() && w.size() < 100)
                d->learned.insert(w);
        }
    }
}

void SpellChecker::startGrammarThread()
{
    if (d->thread)
        return;
    d->thread = new QThread;
    d->thread->setObjectName(QStringLiteral("grammar"));
    d->worker = new GrammarWorker;
    d->worker->moveToThread(d->thread);
    connect(d->thread, &QThread::finished, d->worker, &QObject::deleteLater);
    connect(d->worker, &GrammarWorker::checked, this, [this](const QString& sentence, bool ok, const QString& reason) {
        d->inFlight.remove(sentence);
        if (d->sentences.size() > kCacheLimit)
            d->sentences.clear();
        d->sentences.insert(sentence, {ok, reason});
        Q_EMIT grammarChecked(sentence, ok);
    });
    d->thread->start(QThread::LowPriority);
    qAddPostRoutine([] { SpellChecker::shared().stopWorker(); });
}

void SpellChecker::startSuggestThread()
{
    if (d->suggestThread)
        return;
    d->suggestThread = new QThread;
    d->suggestThread->setObjectName(QStringLiteral("suggestions"));
    d->suggester = new SuggestWorker(QStringList(d->learned.begin(), d->learned.end()));
    d->suggester->moveToThread(d->suggestThread);
    connect(d->suggestThread, &QThread::finished, d->suggester, &QObject::deleteLater);
    connect(d->suggester, &SuggestWorker::corrected, this, [this](const QString& word, const QString& fix) {
        d->correcting.remove(word);
        if (d->corrections.size() > kCacheLimit)
            d->corrections.clear();
        d->corrections.insert(word, fix);
        Q_EMIT correctionFound(word, fix);
    });
    d->suggestThread->start(QThread::LowPriority);
    qAddPostRoutine([] { SpellChecker::shared().stopWorker(); });
}

void SpellChecker::stopWorker()
{
    for (QThread** t : {&d->thread, &d->suggestThread}) {
        if (!*t)
            continue;
        (*t)->quit();
        (*t)->wait();
        delete *t;
        *t = nullptr;
    }
    d->worker = nullptr;
    d->suggester = nullptr;
}

bool SpellChecker::needsCorrection(const QString& word)
{
    return word.size() >= 3 && !isAllCaps(word) && Autocorrect::mayReplace(word) && !isCorrect(word);
}

std::optional<QString> SpellChecker::cachedCorrection(const QString& word) const
{
    if (auto it = d->corrections.constFind(word); it != d->corrections.constEnd())
        return *it;
    return std::nullopt;
}

void SpellChecker::requestCorrection(const QString& word)
{
    if (auto cached = cachedCorrection(word)) {
        Q_EMIT correctionFound(word, *cached);
        return;
    }
    startSuggestThread();
    if (!d->suggester || d->correcting.contains(word))
        return;
    d->correcting.insert(word);
    QMetaObject::invokeMethod(d->suggester, [s = d->suggester, word] { s->suggest(word); }, Qt::QueuedConnection);
}

void SpellChecker::requestGrammar(const QString& sentence)
{
    if (auto cached = cachedGrammar(sentence)) {
        Q_EMIT grammarChecked(sentence, *cached);
        return;
    }
    startGrammarThread();
    if (!d->worker || d->inFlight.contains(sentence))
        return;
    d->inFlight.insert(sentence);
    QMetaObject::invokeMethod(d->worker, "check", Qt::QueuedConnection, Q_ARG(QString, sentence));
}

SpellChecker::~SpellChecker() = default;

bool SpellChecker::hasSpelling() const
{
    return d->speller(const_cast<SpellChecker*>(this), true) != nullptr;
}

bool SpellChecker::hasGrammar() const
{
    return GrammarParser::shared() != nullptr;
}

bool SpellChecker::isGrammarReady() const
{
    return GrammarParser::isSharedDone();
}

bool SpellChecker::isSpellingReady() const
{
    return d->hunspellDone();
}

void SpellChecker::prepareSpelling()
{
    d->startHunspell(this);
}

QString SpellChecker::learnedWordsPath()
{
    return QFileInfo(SettingsStore::filePath()).absolutePath() + QStringLiteral("/Brindleworks-words.txt");
}

bool SpellChecker::isCorrect(const QString& rawWord)
{
    QString word = rawWord;
    word.replace(QChar(0x2019), QLatin1Char('\''));
    if (word.isEmpty() || d->ignored.contains(word) || d->learned.contains(word))
        return true;
    if (auto it = d->words.constFind(word); it != d->words.constEnd())
        return *it;
    Speller* h = d->speller(this, true);
    if (!h)
        return true;
    bool ok = h->spell(word);
    if (!ok && word.endsWith(QLatin1String("'s")))
        ok = h->spell(word.chopped(2));
    if (d->words.size() > kCacheLimit)
        d->words.clear();
    d->words.insert(word, ok);
    return ok;
}

QStringList SpellChecker::suggestions(const QString& rawWord, int max)
{
    QStringList out;
    Speller* h = d->speller(this, true);
    if (!h || rawWord.isEmpty() || rawWord.size() > 100)
        return out;
    QString word = rawWord;
    word.replace(QChar(0x2019), QLatin1Char('\''));
    return h->suggest(word, max);
}

QString SpellChecker::dictionaryName(const QLocale& locale)
{
    // The locale's own English word list (en_GB, en_AU, …) where one is
    // installed, else the American one.
    const QString name = locale.name();
    if (locale.language() == QLocale::English && name != QLatin1String("en_US")
        && QFileInfo::exists(Speller::dictionaryFolder() + QLatin1Char('/') + name + QStringLiteral(".dic")))
        return name;
    return QStringLiteral("en_US");
}

QString SpellChecker::correction(const QString& word)
{
    if (!needsCorrection(word))
        return QString();
    if (auto cached = cachedCorrection(word))
        return *cached;
    // A word that another English spelling knows is right as it stands.
    QString fix;
    Speller* h = d->speller(this, true);
    QString plain = word;
    plain.replace(QChar(0x2019), QLatin1Char('\''));
    if (h && !h->anyEnglishSpells(plain) && plain.size() <= 100)
        fix = Autocorrect::choose(word, h->correctionGuesses(plain, kCorrectionGuesses), WordFrequency::english());
    if (d->corrections.size() > kCacheLimit)
        d->corrections.clear();
    d->corrections.insert(word, fix);
    return fix;
}

QList<SpellChecker::Range> SpellChecker::words(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("[\\p{L}\\p{M}]+(?:['\\x{2019}][\\p{L}\\p{M}]+)*"));
    // Web and mail addresses, scheme and all ("https://…", "www.…",
    // "mailto:…"): names, not words.
    static const QRegularExpression address(
        QStringLiteral("\\b(?:[A-Za-z][A-Za-z0-9+.-]*://|www\\.|mailto:)[^\\s<>\"]*"),
        QRegularExpression::CaseInsensitiveOption);
    QList<std::pair<int, int>> addresses;
    if (text.contains(QLatin1Char(':')) || text.contains(QLatin1String("www."), Qt::CaseInsensitive)) {
        auto a = address.globalMatch(text);
        while (a.hasNext()) {
            const auto m = a.next();
            addresses.append({int(m.capturedStart()), int(m.capturedEnd())});
        }
    }
    QList<Range> out;
    auto it = re.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        const int s = int(m.capturedStart());
        const int e = int(m.capturedEnd());
        if (std::any_of(addresses.cbegin(), addresses.cend(), [&](const auto& a) { return s < a.second && e > a.first; }))
            continue;
        const QChar before = s > 0 ? text.at(s - 1) : QChar();
        const QChar after = e < text.size() ? text.at(e) : QChar();
        auto technical = [](QChar c) {
            return c.isDigit() || c == QLatin1Char('_') || c == QLatin1Char('@') || c == QLatin1Char('/')
                || c == QLatin1Char('\\') || c == QLatin1Char('#') || c == QLatin1Char('=');
        };
        if (technical(before) || technical(after))
            continue;
        // Parts of dotted names (file.txt, www.example.com).
        if ((before == QLatin1Char('.') && s > 1 && text.at(s - 2).isLetterOrNumber())
            || (after == QLatin1Char('.') && e + 1 < text.size() && text.at(e + 1).isLetterOrNumber()))
            continue;
        out.append({s, e - s});
    }
    return out;
}

QList<SpellChecker::Range> SpellChecker::misspellings(const QString& text)
{
    QList<Range> out;
    for (const Range& r : words(text)) {
        const QString w = text.mid(r.start, r.length);
        if (w.size() < 2 || isAllCaps(w))
            continue;
        if (!isCorrect(w))
            out.append(r);
    }
    return out;
}

QList<SpellChecker::Range> SpellChecker::sentenceMisspellings(const QString& sentence)
{
    if (auto it = d->sentenceSpelling.constFind(sentence); it != d->sentenceSpelling.constEnd())
        return *it;
    if (!d->speller(this, false))
        return {};
    const QList<Range> found = misspellings(sentence);
    if (d->sentenceSpelling.size() > kCacheLimit)
        d->sentenceSpelling.clear();
    d->sentenceSpelling.insert(sentence, found);
    return found;
}

QList<SpellChecker::Range> SpellChecker::sentences(const QString& text)
{
    static const QSet<QString> abbreviations = {
        QStringLiteral("mr"), QStringLiteral("mrs"), QStringLiteral("ms"), QStringLiteral("dr"),
        QStringLiteral("prof"), QStringLiteral("st"), QStringLiteral("vs"), QStringLiteral("etc"),
        QStringLiteral("e.g"), QStringLiteral("i.e"), QStringLiteral("jr"), QStringLiteral("sr"),
        QStringLiteral("no"), QStringLiteral("fig"), QStringLiteral("approx"), QStringLiteral("inc"),
    };
    QList<Range> out;
    const int n = int(text.size());
    int start = 0;
    auto push = [&](int from, int to) {
        while (from < to && text.at(from).isSpace())
            ++from;
        while (to > from && text.at(to - 1).isSpace())
            --to;
        if (to > from)
            out.append({from, to - from});
    };
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\n') || c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            push(start, i);
            start = i + 1;
            continue;
        }
        if (c != QLatin1Char('.') && c != QLatin1Char('!') && c != QLatin1Char('?'))
            continue;
        int end = i + 1;
        while (end < n && QStringLiteral(".!?\"')]\u201D\u2019").contains(text.at(end)))
            ++end;
        if (end < n && !text.at(end).isSpace())
            continue; // 3.14, e.g.x
        if (c == QLatin1Char('.')) {
            int w = i;
            while (w > start && (text.at(w - 1).isLetter() || text.at(w - 1) == QLatin1Char('.')))
                --w;
            const QString word = text.mid(w, i - w).toLower();
            if (abbreviations.contains(word) || (word.size() == 1 && end < n))
                continue;
        }
        push(start, end);
        start = end;
        i = end - 1;
    }
    push(start, n);
    return out;
}

bool SpellChecker::checkableSentence(const QString& sentence)
{
    if (auto it = d->checkable.constFind(sentence); it != d->checkable.constEnd())
        return *it;
    const bool ok = isCheckableSentence(sentence);
    if (d->checkable.size() > kCacheLimit)
        d->checkable.clear();
    d->checkable.insert(sentence, ok);
    return ok;
}

bool SpellChecker::isCheckableSentence(const QString& sentence)
{
    static const QRegularExpression ending(QStringLiteral("[.!?][\"')\\]\\x{201D}\\x{2019}]*$"));
    if (!ending.match(sentence).hasMatch())
        return false;
    const int count = int(words(sentence).size());
    return count >= kMinGrammarWords && count <= kMaxGrammarWords;
}

std::optional<bool> SpellChecker::cachedGrammar(const QString& sentence) const
{
    if (d->ignoredSentences.contains(sentence))
        return true;
    if (auto it = d->sentences.constFind(sentence); it != d->sentences.constEnd())
        return it->ok;
    return std::nullopt;
}

bool SpellChecker::grammarOK(const QString& sentence)
{
    if (auto cached = cachedGrammar(sentence))
        return *cached;
    const GrammarParser* parser = GrammarParser::shared();
    if (!parser)
        return true;
    if (!d->options) {
        GrammarParser::quietThread();
        d->options = GrammarParser::makeOptions();
    }
    const GrammarParser::Verdict verdict = parser->check(sentence, d->options);
    if (d->sentences.size() > kCacheLimit)
        d->sentences.clear();
    d->sentences.insert(sentence, verdict);
    return verdict.ok;
}

QString SpellChecker::grammarProblem(const QString& sentence) const
{
    if (d->ignoredSentences.contains(sentence))
        return QString();
    if (auto it = d->sentences.constFind(sentence); it != d->sentences.constEnd() && !it->ok)
        return it->reason.isEmpty() ? tr("Possible grammar problem.") : tr("Possible grammar problem: %1").arg(it->reason);
    return QString();
}

void SpellChecker::ignoreGrammar(const QString& sentence)
{
    if (sentence.isEmpty())
        return;
    d->ignoredSentences.insert(sentence);
    Q_EMIT dictionaryChanged();
}

std::optional<SpellChecker::GrammarIssue> SpellChecker::grammarIssueAt(const QString& text, int position) const
{
    for (const Range& r : sentences(text)) {
        if (position < r.start || position > r.start + r.length)
            continue;
        const QString sentence = text.mid(r.start, r.length);
        const QString problem = grammarProblem(sentence);
        if (problem.isEmpty())
            return std::nullopt;
        return GrammarIssue{r, sentence, problem};
    }
    return std::nullopt;
}

QList<SpellChecker::Range> SpellChecker::problems(const QString& text, bool grammar)
{
    QList<Range> out = misspellings(text);
    if (grammar) {
        out += grammarProblems(text);
        std::stable_sort(out.begin(), out.end(), [](const Range& a, const Range& b) { return a.start < b.start; });
    }
    return out;
}

QList<SpellChecker::Range> SpellChecker::grammarProblems(const QString& text)
{
    QList<Range> out;
    for (const Range& r : sentences(text)) {
        const QString s = text.mid(r.start, r.length);
        if (isCheckableSentence(s) && !grammarOK(s))
            out.append(r);
    }
    return out;
}

void SpellChecker::ignoreWord(const QString& word)
{
    if (word.isEmpty())
        return;
    d->ignored.insert(word);
    d->sentenceSpelling.clear();
    d->corrections.clear();
    Q_EMIT dictionaryChanged();
}

void SpellChecker::learnWord(const QString& word)
{
    if (word.isEmpty() || word.size() >= 100 || word.contains(QLatin1Char('\n')))
        return;
    d->learned.insert(word);
    d->words.remove(word);
    d->sentenceSpelling.clear();
    d->corrections.clear();
    if (d->hunspellAdopted && d->hunspell)
        d->hunspell->add(word); // else added when adopted
    const QString path = learnedWordsPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QStringList all(d->learned.begin(), d->learned.end());
    all.sort();
    SafeFile::write(path, (all.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    Q_EMIT dictionaryChanged();
}

bool SpellChecker::isLearned(const QString& word) const
{
    return d->learned.contains(word);
}

