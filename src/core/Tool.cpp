#include "core/Tool.h"

namespace {

struct Entry {
    const char* raw;
    const char* title;
    const char* symbol;
    const char* art;
    Rgb tint;
    int width;
    int height;
};

constexpr Entry kTools[] = {
    {"calculator", "Calculator", "plus.forwardslash.minus", "calculator", ChromeColors::turquoiseDeep, 340, 560},
    {"scientific", "Scientific Calculator", "function", "scientific", {0.25, 0.30, 0.70}, 640, 600},
    {"wordProcessor", "Word Processor", "doc.richtext", "word", {0.15, 0.35, 0.75}, 0, 0},
    {"stickyNotes", "Sticky Notes", "note.text", "sticky", {0.85, 0.62, 0.05}, 560, 460},
    {"recorder", "Notes Recorder", "mic.fill", "recorder", ChromeColors::cherry, 640, 560},
    {"focus", "Focus Timer & To-Do", "timer", "focus", {0.85, 0.35, 0.10}, 760, 560},
    {"citation", "Citation Builder", "text.quote", "citation", {0.45, 0.30, 0.20}, 980, 700},
    {"invoice", "Invoice & Receipt Maker", "dollarsign.circle", "invoice", {0.12, 0.50, 0.25}, 1100, 780},
    {"timeline", "Study Timeline", "calendar", "timeline", {0.50, 0.25, 0.65}, 1100, 760},
    {"converter", "Unit Converter", "arrow.left.arrow.right", "units", ChromeColors::turquoiseDeep, 760, 600},
    {"loanGPA", "Loan & GPA Calculator", "graduationcap", "loan-gpa", {0.20, 0.25, 0.45}, 980, 720},
    {"passwords", "Password Generator & Book", "key.fill", "passwords", {0.60, 0.45, 0.05}, 980, 660},
    {"solitaire", "Solitaire", "suit.spade.fill", "solitaire", {0.10, 0.10, 0.10}, 980, 760},
    {"bingo", "Bingo", "circle.grid.3x3.fill", "bingo", ChromeColors::cherry, 1060, 760},
};
static_assert(std::size(kTools) == 14);

const Entry& entry(Tool t) { return kTools[t.index()]; }

} // namespace

std::optional<Tool> Tool::fromRawValue(QStringView raw)
{
    for (const Tool t : allCases()) {
        if (raw == QLatin1String(entry(t).raw))
            return t;
    }
    return std::nullopt;
}

const QList<Tool>& Tool::allCases()
{
    static const QList<Tool> all = [] {
        QList<Tool> l;
        for (int i = 0; i < int(std::size(kTools)); ++i)
            l.append(Tool(Case(i)));
        return l;
    }();
    return all;
}

QString Tool::rawValue() const { return QString::fromLatin1(entry(*this).raw); }
QString Tool::title() const { return QString::fromLatin1(entry(*this).title); }
QString Tool::symbol() const { return QString::fromLatin1(entry(*this).symbol); }
QString Tool::artName() const { return QString::fromLatin1(entry(*this).art); }
Rgb Tool::tint() const { return entry(*this).tint; }

std::optional<QSize> Tool::defaultSize() const
{
    const Entry& e = entry(*this);
    if (e.width == 0)
        return std::nullopt;
    return QSize(e.width, e.height);
}
