#include "ui/SpellChecker.h"

#include "core/SafeFile.h"
#include "core/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTextStream>

#include "ui/SpellLibraries.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <future>
#include <optional>

namespace {

const char* const kDictionaryFolder = "/usr/share/hunspell";
const int kMaxGrammarWords = 40;
const int kMinGrammarWords = 3;
const int kCacheLimit = 50000;
// How many of the word list's suggestions automatic correction weighs.
const int kGuesses = 15;

void quietLinkGrammar(lg_errinfo*, void*) {}

// The grammar library's entry points (opened on first use).
const SpellLibraries::LinkGrammar* lg()
{
    return SpellLibraries::linkGrammar();
}

struct Grammar {
    Dictionary dict = nullptr;
    Parse_Options options = nullptr;
    ~Grammar()
    {
        if (options)
            lg()->deleteOptions(options);
        if (dict)
            lg()->deleteDictionary(dict);
    }
};

// The dictionary is shared by the main thread and the checking thread; one
// parse at a time.
QMutex& parseMutex()
{
    static QMutex m;
    return m;
}

bool parses(Grammar* g, Parse_Options options, const QString& sentence)
{
    QMutexLocker lock(&parseMutex());
    bool ok = true;
    const QByteArray utf8 = sentence.toUtf8();
    if (Sentence s = lg()->createSentence(utf8.constData(), g->dict)) {
        const int linkages = lg()->parseSentence(s, options);
        // A parse that ran out of time says nothing about the sentence.
        ok = linkages > 0 || lg()->timerExpired(options) || lg()->resourcesExhausted(options);
        lg()->deleteSentence(s);
    }
    return ok;
}

Parse_Options makeOptions()
{
    Parse_Options o = lg()->createOptions();
    lg()->setVerbosity(o, 0);
    lg()->setMinNullCount(o, 0);
    lg()->setMaxNullCount(o, 0);
    lg()->setMaxParseTime(o, 1);
    return o;
}

std::unique_ptr<Grammar> loadGrammar()
{
    if (!lg())
        return nullptr;
    lg()->setErrorHandler(quietLinkGrammar, nullptr);
    auto g = std::make_unique<Grammar>();
    g->dict = lg()->createDictionary("en");
    if (!g->dict)
        return nullptr;
    g->options = makeOptions();
    return g;
}

// Checks sentences on its own thread.
class GrammarWorker : public QObject {
    Q_OBJECT
public:
    explicit GrammarWorker(std::function<Grammar*()> grammar) : m_grammar(std::move(grammar)) {}
    ~GrammarWorker() override
    {
        if (m_options)
            lg()->deleteOptions(m_options);
    }

public Q_SLOTS:
    void check(const QString& sentence)
    {
        Grammar* g = m_grammar();
        if (g) {
            lg()->setErrorHandler(quietLinkGrammar, nullptr); // per thread
            if (!m_options)
                m_options = makeOptions();
        }
        const bool ok = g ? parses(g, m_options, sentence) : true;
        Q_EMIT checked(sentence, ok);
    }

Q_SIGNALS:
    void checked(const QString& sentence, bool ok);

private:
    std::function<Grammar*()> m_grammar;
    Parse_Options m_options = nullptr;
};

// Finds suggestions on its own thread, with a word list of its own (one
// word list serves one thread at a time).
class SuggestWorker : public QObject {
    Q_OBJECT
public:
    SuggestWorker(std::function<std::shared_ptr<class Speller>()> load, QStringList learned)
        : m_load(std::move(load)), m_learned(std::move(learned))
    {
    }

public Q_SLOTS:
    void suggest(const QString& word);

Q_SIGNALS:
    void suggested(const QString& word, const QStringList& guesses);

private:
    std::function<std::shared_ptr<Speller>()> m_load;
    QStringList m_learned;
    std::shared_ptr<Speller> m_speller;
    bool m_loaded = false;
};

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

int editDistance(const QString& a, const QString& b)
{
    // Optimal string alignment distance (adjacent swaps count once).
    const int n = int(a.size()), m = int(b.size());
    std::vector<std::vector<int>> d(size_t(n + 1), std::vector<int>(size_t(m + 1)));
    for (int i = 0; i <= n; ++i)
        d[size_t(i)][0] = i;
    for (int j = 0; j <= m; ++j)
        d[0][size_t(j)] = j;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= m; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            int v = std::min({d[size_t(i - 1)][size_t(j)] + 1, d[size_t(i)][size_t(j - 1)] + 1,
                              d[size_t(i - 1)][size_t(j - 1)] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                v = std::min(v, d[size_t(i - 2)][size_t(j - 2)] + 1);
            d[size_t(i)][size_t(j)] = v;
        }
    }
    return d[size_t(n)][size_t(m)];
}


// The grammar dictionary, read once by whichever thread needs it first.
class GrammarLoader {
public:
    Grammar* get()
    {
        std::call_once(m_once, [this] {
            m_grammar = loadGrammar();
            m_state.store(m_grammar ? Ready : Failed);
        });
        return m_grammar.get();
    }
    bool isDone() const { return m_state.load() != Unknown; }
    bool isReady() const { return m_state.load() == Ready; }

private:
    enum State { Unknown, Ready, Failed };
    std::once_flag m_once;
    std::unique_ptr<Grammar> m_grammar;
    std::atomic<int> m_state{Unknown};
};

// The word list of the user's locale, with every other English word list
// installed: a word any of them knows is never corrected automatically.
class Speller {
public:
    Speller(const SpellLibraries::Hunspell* api, Hunhandle* handle, QList<Hunhandle*> others)
        : m_api(api), m_handle(handle), m_others(std::move(others))
    {
    }
    ~Speller()
    {
        m_api->destroy(m_handle);
        for (Hunhandle* h : std::as_const(m_others))
            m_api->destroy(h);
    }
    Speller(const Speller&) = delete;
    Speller& operator=(const Speller&) = delete;

    bool spell(const QString& word) const { return m_api->spell(m_handle, word.toUtf8().constData()) != 0; }
    bool anyEnglishSpells(const QString& word) const
    {
        const QByteArray utf8 = word.toUtf8();
        return std::any_of(m_others.cbegin(), m_others.cend(),
                           [&](Hunhandle* h) { return m_api->spell(h, utf8.constData()) != 0; });
    }
    void add(const QString& word) { m_api->add(m_handle, word.toUtf8().constData()); }
    QStringList suggest(const QString& word, int max) const
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

private:
    const SpellLibraries::Hunspell* m_api;
    Hunhandle* m_handle;
    QList<Hunhandle*> m_others;
};

Hunhandle* openDictionary(const SpellLibraries::Hunspell* api, const QString& name)
{
    const QString base = QString::fromUtf8(kDictionaryFolder) + QLatin1Char('/') + name;
    if (!QFileInfo::exists(base + QStringLiteral(".aff")) || !QFileInfo::exists(base + QStringLiteral(".dic")))
        return nullptr;
    return api->create(QFile::encodeName(base + QStringLiteral(".aff")).constData(),
                       QFile::encodeName(base + QStringLiteral(".dic")).constData());
}

std::shared_ptr<Speller> loadHunspell();

void SuggestWorker::suggest(const QString& word)
{
    if (!m_loaded) {
        m_loaded = true;
        m_speller = m_load();
        if (m_speller) {
            for (const QString& w : std::as_const(m_learned))
                m_speller->add(w);
        }
    }
    QString plain = word;
    plain.replace(QChar(0x2019), QLatin1Char('\''));
    // A word that another English spelling knows is right as it stands.
    const bool known = !m_speller || m_speller->anyEnglishSpells(plain);
    Q_EMIT suggested(word, known ? QStringList() : m_speller->suggest(plain, kGuesses)); // under the word as asked
}

// How likely it is that `guess` was meant when `typed` was typed, from the
// slips people make most: two letters swapped, then a letter left out, one
// struck wrong, one too many; then any two slips. Lower is likelier; -1
// when the guess is too far off (or splits the word) to replace it
// unasked.
int slipRank(const QString& typed, const QString& guess)
{
    if (guess.contains(QLatin1Char(' ')) || (guess.contains(QLatin1Char('-')) && !typed.contains(QLatin1Char('-'))))
        return -1;
    const QString a = typed.toLower();
    const QString b = guess.toLower();
    const int distance = editDistance(a, b);
    if (distance == 0 || distance > 2)
        return -1;
    if (distance == 2)
        return 4;
    if (b.size() > a.size())
        return 1; // a letter left out
    if (b.size() < a.size())
        return 3; // a letter too many
    for (qsizetype i = 0; i + 1 < a.size(); ++i) {
        if (a.at(i) != b.at(i))
            return a.at(i) == b.at(i + 1) && a.at(i + 1) == b.at(i) ? 0 : 2;
    }
    return 2;
}

// The likeliest of `guesses` (the word list's order breaks ties), in the
// capitals of `word`; nothing when none is close.
QString bestCorrection(const QString& word, const QStringList& guesses)
{
    QString best;
    int bestRank = -1;
    for (const QString& guess : guesses) {
        const int rank = slipRank(word, guess);
        if (rank >= 0 && (bestRank < 0 || rank < bestRank)) {
            best = guess;
            bestRank = rank;
        }
    }
    if (best.isEmpty())
        return QString();
    if (word.at(0).isUpper() && best.at(0).isLower())
        best[0] = best.at(0).toUpper();
    return best;
}

std::shared_ptr<Speller> loadHunspell()
{
    const SpellLibraries::Hunspell* api = SpellLibraries::hunspell();
    if (!api)
        return nullptr;
    const QString mine = SpellChecker::dictionaryName(QLocale());
    Hunhandle* main = openDictionary(api, mine);
    if (!main)
        return nullptr;
    QList<Hunhandle*> others;
    const QStringList english = QDir(QString::fromUtf8(kDictionaryFolder))
                                    .entryList({QStringLiteral("en_*.dic")}, QDir::Files, QDir::Name);
    for (const QString& file : english) {
        const QString name = file.chopped(4);
        if (name == mine)
            continue;
        if (Hunhandle* h = openDictionary(api, name))
            others.append(h);
    }
    return std::make_shared<Speller>(api, main, std::move(others));
}

} // namespace

struct SpellChecker::Impl {
    // Built on a worker thread; adopted by the interface thread once ready.
    std::shared_future<std::shared_ptr<Speller>> hunspellLoading;
    std::shared_ptr<Speller> hunspell;
    bool hunspellAdopted = false;
    std::shared_ptr<GrammarLoader> grammar = std::make_shared<GrammarLoader>();
    QThread* thread = nullptr;
    GrammarWorker* worker = nullptr;
    QSet<QString> inFlight;
    QHash<QString, bool> words;
    QHash<QString, bool> sentences;
    QHash<QString, QList<SpellChecker::Range>> sentenceSpelling;
    QHash<QString, bool> checkable;
    QHash<QString, QString> corrections;
    QSet<QString> correcting;
    QThread* suggestThread = nullptr;
    SuggestWorker* suggester = nullptr;
    QSet<QString> ignored;
    QSet<QString> learned;

    void startHunspell(SpellChecker* owner)
    {
        if (hunspellLoading.valid())
            return;
        // The checker lives for the process, so the worker may call back.
        // The call may arrive a moment before the result is handed over:
        // speller() waits for that moment.
        hunspellLoading = std::async(std::launch::async, [this, owner] {
                              std::shared_ptr<Speller> h = loadHunspell();
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
    std::shared_ptr<GrammarLoader> loader = d->grammar;
    d->thread = new QThread;
    d->thread->setObjectName(QStringLiteral("grammar"));
    d->worker = new GrammarWorker([loader]() -> Grammar* { return loader->get(); });
    d->worker->moveToThread(d->thread);
    connect(d->thread, &QThread::finished, d->worker, &QObject::deleteLater);
    connect(d->worker, &GrammarWorker::checked, this, [this](const QString& sentence, bool ok) {
        d->inFlight.remove(sentence);
        if (d->sentences.size() > kCacheLimit)
            d->sentences.clear();
        d->sentences.insert(sentence, ok);
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
    d->suggester = new SuggestWorker(&loadHunspell, QStringList(d->learned.begin(), d->learned.end()));
    d->suggester->moveToThread(d->suggestThread);
    connect(d->suggestThread, &QThread::finished, d->suggester, &QObject::deleteLater);
    connect(d->suggester, &SuggestWorker::suggested, this, [this](const QString& word, const QStringList& guesses) {
        d->correcting.remove(word);
        const QString fix = bestCorrection(word, guesses);
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
    return word.size() >= 3 && !isAllCaps(word) && !isCorrect(word);
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
    return d->grammar->get() != nullptr;
}

bool SpellChecker::isGrammarReady() const
{
    return d->grammar->isDone();
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
        && QFileInfo::exists(QString::fromUtf8(kDictionaryFolder) + QLatin1Char('/') + name + QStringLiteral(".dic")))
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
    if (!h || !h->anyEnglishSpells(plain))
        fix = bestCorrection(word, suggestions(word, kGuesses));
    if (d->corrections.size() > kCacheLimit)
        d->corrections.clear();
    d->corrections.insert(word, fix);
    return fix;
}

QList<SpellChecker::Range> SpellChecker::words(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("[\\p{L}\\p{M}]+(?:['\\x{2019}][\\p{L}\\p{M}]+)*"));
    QList<Range> out;
    auto it = re.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        const int s = int(m.capturedStart());
        const int e = int(m.capturedEnd());
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
    if (auto it = d->sentences.constFind(sentence); it != d->sentences.constEnd())
        return *it;
    return std::nullopt;
}

bool SpellChecker::grammarOK(const QString& sentence)
{
    if (auto cached = cachedGrammar(sentence))
        return *cached;
    Grammar* g = d->grammar->get();
    if (!g)
        return true;
    const bool ok = parses(g, g->options, sentence);
    if (d->sentences.size() > kCacheLimit)
        d->sentences.clear();
    d->sentences.insert(sentence, ok);
    return ok;
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

#include "SpellChecker.moc"
