#include "ui/FieldSpelling.h"

#include "ui/SpellHighlighter.h"
#include "ui/SpellLineEdit.h"
#include "ui/SpellingPanel.h"

#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

namespace {

const int kGrammarDelayMs = 400;

bool isWordSeparator(const QString& typed)
{
    if (typed.size() != 1)
        return false;
    const QChar c = typed.at(0);
    return c.isSpace() || (c.isPunct() && c != QLatin1Char('\'') && c != QChar(0x2019) && c != QLatin1Char('-'));
}

// A wavy line from x0 to x1 at height y.
QPainterPath wave(qreal x0, qreal x1, qreal y)
{
    QPainterPath p;
    const qreal amp = 1.2;
    const qreal half = 2.0;
    p.moveTo(x0, y);
    bool up = true;
    for (qreal x = x0; x < x1; x += half) {
        const qreal nx = qMin(x + half, x1);
        p.quadTo((x + nx) / 2, y + (up ? -amp : amp) * 2, nx, y);
        up = !up;
    }
    return p;
}

class Overlay : public QWidget {
public:
    explicit Overlay(FieldSpelling* owner, QWidget* parent) : QWidget(parent), m_owner(owner)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_TranslucentBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QLineEdit* f = m_owner->field();
        if (!f || f->echoMode() != QLineEdit::Normal || f->isReadOnly())
            return;
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setClipRect(f->contentsRect());
        auto draw = [&](const QList<SpellChecker::Range>& ranges, const QColor& color) {
            p.setPen(QPen(color, 1.0));
            for (const auto& r : ranges) {
                const QRectF box = m_owner->textRect(r.start, r.length);
                if (box.isEmpty())
                    continue;
                p.drawPath(wave(box.left(), box.right(), box.bottom()));
            }
        };
        draw(m_owner->badGrammar(), SpellHighlighter::grammarColor());
        draw(m_owner->misspelt(), SpellHighlighter::spellingColor());
    }

private:
    FieldSpelling* m_owner;
};

} // namespace

const char* const kExcluded = "brindleworksNoSpelling";

FieldSpelling* FieldSpelling::attach(QLineEdit* field)
{
    if (!field || field->echoMode() != QLineEdit::Normal || isExcluded(field))
        return nullptr;
    if (auto* existing = qobject_cast<FieldSpelling*>(SpellingTarget::of(field)))
        return existing;
    return new FieldSpelling(field);
}

FieldSpelling* FieldSpelling::of(const QLineEdit* field)
{
    if (!field)
        return nullptr;
    // A SpellLineEdit has a checker from the start, made when first needed.
    if (auto* own = qobject_cast<const SpellLineEdit*>(field))
        return own->spelling();
    return qobject_cast<FieldSpelling*>(SpellingTarget::of(field));
}

void FieldSpelling::exclude(QLineEdit* field)
{
    if (!field)
        return;
    field->setProperty(kExcluded, true);
    SpellingTarget::detach(field);
}

bool FieldSpelling::isExcluded(const QLineEdit* field)
{
    return field && field->property(kExcluded).toBool();
}

FieldSpelling::~FieldSpelling()
{
    delete m_overlay.data();
}

void FieldSpelling::userStarted()
{
    if (m_userStarted)
        return;
    m_userStarted = true;
    SpellChecker::shared().prepareSpelling();
    recheck();
}

FieldSpelling::FieldSpelling(QLineEdit* field) : SpellingTarget(field), m_field(field), m_watched(field)
{
    field->installEventFilter(this);
    m_grammarTimer.setSingleShot(true);
    connect(&m_grammarTimer, &QTimer::timeout, this, [this] {
        if (!m_field || !m_switches.continuousSpellChecking || !m_switches.grammarChecking)
            return;
        const QString text = m_field->text();
        for (const auto& r : SpellChecker::sentences(text)) {
            const QString s = text.mid(r.start, r.length);
            if (SpellChecker::isCheckableSentence(s) && !SpellChecker::shared().cachedGrammar(s))
                SpellChecker::shared().requestGrammar(s);
        }
    });
    connect(&SpellChecker::shared(), &SpellChecker::grammarChecked, this, [this](const QString& s, bool ok) {
        if (!ok && m_field && m_field->text().contains(s))
            recheck();
    });
    connect(field, &QLineEdit::textChanged, this, [this] { recheck(); });
    connect(field, &QLineEdit::textEdited, this, [this] { userStarted(); });
    if (!SpellChecker::shared().isSpellingReady())
        connect(&SpellChecker::shared(), &SpellChecker::spellingReady, this, [this] { recheck(); });
    connect(field, &QLineEdit::cursorPositionChanged, this, [this] { updateOverlay(); });
    connect(field, &QLineEdit::selectionChanged, this, [this] { updateOverlay(); });
    connect(&SpellChecker::shared(), &SpellChecker::dictionaryChanged, this, [this] { recheck(); });
    recheck();
}

void FieldSpelling::setSwitches(const TextCheckingSwitches& switches)
{
    const bool changed = !(m_switches == switches);
    m_switches = switches;
    if (changed) {
        recheck();
        Q_EMIT switchesChanged();
    }
}

void FieldSpelling::beginEditing()
{
    setSwitches(m_switches.ruleApplied());
    userStarted();
}

void FieldSpelling::recheck()
{
    m_misspelt.clear();
    m_grammar.clear();
    SpellChecker& checker = SpellChecker::shared();
    // Never waits for the word list: it is being built in the background.
    if (m_field && m_switches.continuousSpellChecking && m_field->echoMode() == QLineEdit::Normal
        && checker.isSpellingReady()) {
        const QString text = m_field->text();
        m_misspelt = checker.misspellings(text);
        if (m_switches.grammarChecking) {
            // Known sentences at once; new ones after a pause in typing.
            bool unknown = false;
            for (const auto& r : SpellChecker::sentences(text)) {
                const QString s = text.mid(r.start, r.length);
                if (!SpellChecker::isCheckableSentence(s))
                    continue;
                const auto known = SpellChecker::shared().cachedGrammar(s);
                if (!known)
                    unknown = true;
                else if (!*known)
                    m_grammar.append(r);
            }
            // Sentences go for checking only once the user has turned to
            // the field.
            if (unknown && m_userStarted)
                m_grammarTimer.start(kGrammarDelayMs);
        }
    }
    updateOverlay();
}

void FieldSpelling::updateOverlay()
{
    if (!m_overlay) {
        // Made with the first underline: a field with nothing to mark draws
        // nothing over itself.
        if (!m_field || (m_misspelt.isEmpty() && m_grammar.isEmpty()))
            return;
        m_overlay = new Overlay(this, m_field);
        m_overlay->setGeometry(m_field->rect());
        m_overlay->show();
        m_overlay->raise();
    }
    m_overlay->update();
}

QRectF FieldSpelling::textRect(int start, int length) const
{
    if (!m_field)
        return {};
    const QString shown = m_field->displayText();
    if (start < 0 || length <= 0 || start + length > shown.size())
        return {};
    QTextLayout layout(shown, m_field->font());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid())
        return {};
    // The field draws its text shifted by its scroll offset; the caret's
    // rectangle (5 to the left of the caret's x) gives that shift.
    const int caret = m_field->cursorPosition();
    const QRectF caretRect = m_field->inputMethodQuery(Qt::ImCursorRectangle).toRectF();
    const qreal caretX = caretRect.x() + 5;
    const qreal shift = caretX - line.cursorToX(caret);
    const qreal x0 = shift + line.cursorToX(start);
    const qreal x1 = shift + line.cursorToX(start + length);
    const QFontMetricsF fm(m_field->font());
    const qreal baseline = caretRect.top() + fm.ascent();
    return QRectF(QPointF(qMin(x0, x1), baseline - fm.ascent()), QPointF(qMax(x0, x1), baseline + 2.5));
}

QWidget* FieldSpelling::editorWidget() const
{
    return m_field;
}

QString FieldSpelling::selectedText() const
{
    return m_field ? m_field->selectedText() : QString();
}

void FieldSpelling::replaceSelection(const QString& text)
{
    if (m_field && !m_field->isReadOnly() && m_field->hasSelectedText())
        m_field->insert(text);
}

void FieldSpelling::checkSpelling()
{
    if (!m_field)
        return;
    const QString text = m_field->text();
    const QList<SpellChecker::Range> all = SpellChecker::shared().problems(text, m_switches.grammarChecking);
    if (all.isEmpty())
        return;
    const int from = m_field->hasSelectedText() ? m_field->selectionEnd() : m_field->cursorPosition();
    SpellChecker::Range next = all.first();
    for (const auto& r : all) {
        if (r.start >= from) {
            next = r;
            break;
        }
    }
    m_field->setSelection(next.start, next.length);
}

void FieldSpelling::showGuessPanel()
{
    checkSpelling();
    SpellingPanel::show(this);
}

QMenu* FieldSpelling::contextMenu(int position)
{
    QMenu* menu = m_field ? m_field->createStandardContextMenu() : new QMenu;
    QAction* first = menu->actions().value(0);
    const QString text = m_field ? m_field->text() : QString();
    if (m_field && m_switches.continuousSpellChecking) {
        for (const auto& r : SpellChecker::shared().misspellings(text)) {
            if (position < r.start || position > r.start + r.length)
                continue;
            const QString word = text.mid(r.start, r.length);
            const QStringList guesses = SpellChecker::shared().suggestions(word, 6);
            if (guesses.isEmpty()) {
                QAction* none = new QAction(tr("No Guesses Found"), menu);
                none->setEnabled(false);
                menu->insertAction(first, none);
            }
            const int start = r.start, length = r.length;
            for (const QString& g : guesses) {
                QAction* a = new QAction(g, menu);
                a->setEnabled(!m_field->isReadOnly());
                connect(a, &QAction::triggered, this, [this, start, length, word, g] {
                    if (!m_field || m_field->text().mid(start, length) != word)
                        return;
                    m_field->setSelection(start, length);
                    m_field->insert(g);
                });
                menu->insertAction(first, a);
            }
            menu->insertSeparator(first);
            QAction* ignore = new QAction(tr("Ignore Spelling"), menu);
            connect(ignore, &QAction::triggered, this, [word] { SpellChecker::shared().ignoreWord(word); });
            menu->insertAction(first, ignore);
            QAction* learn = new QAction(tr("Learn Spelling"), menu);
            connect(learn, &QAction::triggered, this, [word] { SpellChecker::shared().learnWord(word); });
            menu->insertAction(first, learn);
            menu->insertSeparator(first);
            break;
        }
        addGrammarEntries(menu, first, text, position);
    }
    menu->addSeparator();
    QMenu* sub = menu->addMenu(tr("Spelling and Grammar"));
    sub->addAction(tr("Check Document Now"), this, &FieldSpelling::checkSpelling);
    sub->addSeparator();
    QAction* spell = sub->addAction(tr("Check Spelling While Typing"), this, &FieldSpelling::toggleContinuousSpellChecking);
    spell->setCheckable(true);
    spell->setChecked(m_switches.continuousSpellChecking);
    QAction* grammar = sub->addAction(tr("Check Grammar With Spelling"), this, &FieldSpelling::toggleGrammarChecking);
    grammar->setCheckable(true);
    grammar->setChecked(m_switches.grammarChecking);
    QAction* correct = sub->addAction(tr("Correct Spelling Automatically"), this,
                                      &FieldSpelling::toggleAutomaticSpellingCorrection);
    correct->setCheckable(true);
    correct->setChecked(m_switches.automaticSpellingCorrection);
    return menu;
}

bool FieldSpelling::eventFilter(QObject* watched, QEvent* event)
{
    // Compared as plain objects: while the field is being destroyed it is no
    // longer a QLineEdit, and it still sends events (focus out).
    if (watched != m_watched || m_field.isNull())
        return false;
    switch (event->type()) {
    case QEvent::Resize:
        if (m_overlay)
            m_overlay->setGeometry(m_field->rect());
        break;
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::Show:
        if (m_overlay)
            m_overlay->raise();
        updateOverlay();
        break;
    case QEvent::FocusIn:
        userStarted();
        break;
    case QEvent::ContextMenu: {
        if (m_field->echoMode() != QLineEdit::Normal)
            break;
        auto* ce = static_cast<QContextMenuEvent*>(event);
        const int pos = ce->reason() == QContextMenuEvent::Keyboard ? m_field->cursorPosition()
                                                                     : m_field->cursorPositionAt(ce->pos());
        QMenu* menu = contextMenu(pos);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(ce->globalPos());
        return true;
    }
    case QEvent::KeyPress: {
        if (!m_switches.automaticSpellingCorrection || m_correcting || m_field->isReadOnly()
            || m_field->hasSelectedText())
            break;
        auto* ke = static_cast<QKeyEvent*>(event);
        if (!isWordSeparator(ke->text()) && ke->key() != Qt::Key_Return && ke->key() != Qt::Key_Enter)
            break;
        const QString text = m_field->text();
        const int caret = m_field->cursorPosition();
        for (const auto& r : SpellChecker::words(text)) {
            if (r.start + r.length != caret)
                continue;
            const QString fix = SpellChecker::shared().correction(text.mid(r.start, r.length));
            if (!fix.isEmpty()) {
                m_correcting = true;
                m_field->setSelection(r.start, r.length);
                m_field->insert(fix);
                m_correcting = false;
            }
            break;
        }
        break;
    }
    default:
        break;
    }
    return false;
}
