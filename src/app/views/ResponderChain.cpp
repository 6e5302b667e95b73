#include "app/views/ResponderChain.h"

#include "app/views/MenuActions.h"
#include "app/views/X11Desktop.h"

#include "ui/FieldSpelling.h"
#include "ui/TextChecker.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHash>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextEdit>

#include <optional>
#include <unordered_map>
#include <vector>

namespace {

const QStringList& textActions()
{
    using namespace MenuActions;
    static const QStringList names{
        QLatin1String(undo),  QLatin1String(redo),  QLatin1String(cut),
        QLatin1String(copy),  QLatin1String(paste), QLatin1String(pasteAsPlainText),
        QLatin1String(deleteSelection), QLatin1String(selectAll),
    };
    return names;
}

const QStringList& windowActions()
{
    static const QStringList names{
        QLatin1String(MenuActions::performClose),
        QLatin1String(MenuActions::performMiniaturize),
        QLatin1String(MenuActions::performZoom),
    };
    return names;
}

// A window of one fixed size has nothing to zoom to.
bool windowCan(const QWidget* w, const QString& a)
{
    return a != QLatin1String("performZoom") || w->minimumSize() != w->maximumSize();
}

// Each menu check asks every responder for every item: what a class
// answers is fixed, so its methods are read once, in one pass (asking the
// class for each signature would search all its methods every time).
struct Methods {
    int withSender = -1;
    int plain = -1;
};

using ClassMethods = QHash<QString, Methods>;

const ClassMethods& classMethods(const QMetaObject* meta);

ClassMethods readMethods(const QMetaObject* meta)
{
    // A class answers what its base class answers, except where it declares
    // a method of the same signature itself. Its own methods from the last
    // down, as the class's own look-up goes: the first found with a
    // signature is the one a call by that signature reaches; it counts only
    // when it is a slot or an invokable method (a signal hides the base
    // class's slot).
    const int hidden = -2;
    ClassMethods own;
    for (int i = meta->methodCount() - 1; i >= meta->methodOffset(); --i) {
        const QMetaMethod m = meta->method(i);
        const int count = m.parameterCount();
        if (count > 1 || (count == 1 && m.parameterTypeName(0) != "QAction*"))
            continue;
        Methods& entry = own[QString::fromLatin1(m.name())];
        int& index = count == 0 ? entry.plain : entry.withSender;
        if (index != -1)
            continue;
        const bool callable = m.methodType() == QMetaMethod::Slot || m.methodType() == QMetaMethod::Method;
        index = callable ? i : hidden;
    }
    ClassMethods methods = meta->superClass() ? classMethods(meta->superClass()) : ClassMethods();
    for (auto it = own.cbegin(); it != own.cend(); ++it) {
        Methods& m = methods[it.key()];
        if (it->plain != -1)
            m.plain = qMax(it->plain, -1);
        if (it->withSender != -1)
            m.withSender = qMax(it->withSender, -1);
        if (m.plain < 0 && m.withSender < 0)
            methods.remove(it.key());
    }
    return methods;
}

// The methods of `meta`, read the first time it is asked for (a node map:
// what it gives stays where it is while other classes are added).
const ClassMethods& classMethods(const QMetaObject* meta)
{
    static std::unordered_map<const QMetaObject*, ClassMethods> known;
    auto it = known.find(meta);
    if (it == known.end())
        it = known.emplace(meta, readMethods(meta)).first;
    return it->second;
}

const Methods& methodsIn(const ClassMethods& methods, const QString& action)
{
    static const Methods none;
    const auto found = methods.constFind(action);
    return found == methods.cend() ? none : *found;
}

int methodIndex(const QMetaObject* meta, const QString& action, bool withSender)
{
    const Methods& m = methodsIn(classMethods(meta), action);
    return withSender ? m.withSender : m.plain;
}

int methodIndex(const QObject* o, const QString& action, bool withSender)
{
    return methodIndex(o->metaObject(), action, withSender);
}

// The index of "validateAction(QString)" in `meta`, or -1.
int validationIndex(const QMetaObject* meta)
{
    static QHash<const QMetaObject*, int> known;
    const auto it = known.constFind(meta);
    if (it != known.cend())
        return *it;
    const int index = meta->indexOfMethod("validateAction(QString)");
    known.insert(meta, index);
    return index;
}

// Whether the clipboard holds something to paste as text. One look at its
// formats: every question about a format asks the window system for the
// whole list again (and for every image format Qt reads).
bool clipboardHasText()
{
    // An X clipboard nobody owns holds nothing (Qt would load every image
    // plugin it has before it says so).
    if (const std::optional<bool> owned = X11Desktop::clipboardOwned(); owned && !*owned)
        return false;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return false;
    // What hasText() (plain text or links) and hasHtml() look for.
    const QStringList formats = data->formats();
    return formats.contains(QLatin1String("text/plain")) || formats.contains(QLatin1String("text/uri-list"))
        || formats.contains(QLatin1String("text/html"));
}

enum class TextKind { none, line, plain, rich };

TextKind textKind(const QObject* o)
{
    if (qobject_cast<const QLineEdit*>(o))
        return TextKind::line;
    if (qobject_cast<const QPlainTextEdit*>(o))
        return TextKind::plain;
    if (qobject_cast<const QTextEdit*>(o))
        return TextKind::rich;
    return TextKind::none;
}

// What a standard text input allows now.
struct TextState {
    bool readOnly = false;
    bool hasSelection = false;
    bool canUndo = false;
    bool canRedo = false;
    bool empty = true;
};

// QPlainTextEdit and QTextEdit tell the same things the same way.
template <typename Editor>
TextState documentState(const Editor* e)
{
    TextState s;
    s.readOnly = e->isReadOnly();
    s.hasSelection = e->textCursor().hasSelection();
    s.canUndo = e->document()->isUndoAvailable() && e->isUndoRedoEnabled();
    s.canRedo = e->document()->isRedoAvailable() && e->isUndoRedoEnabled();
    s.empty = e->document()->isEmpty();
    return s;
}

TextState textState(const QObject* o, TextKind kind)
{
    switch (kind) {
    case TextKind::line: {
        const auto* line = static_cast<const QLineEdit*>(o);
        TextState s;
        s.readOnly = line->isReadOnly();
        s.hasSelection = line->hasSelectedText();
        s.canUndo = line->isUndoAvailable();
        s.canRedo = line->isRedoAvailable();
        s.empty = line->text().isEmpty();
        return s;
    }
    case TextKind::plain:
        return documentState(static_cast<const QPlainTextEdit*>(o));
    case TextKind::rich:
        return documentState(static_cast<const QTextEdit*>(o));
    case TextKind::none:
        break;
    }
    return {};
}

enum class Answer { no, disabled, enabled };

// One command as the chain is asked about it.
struct Command {
    explicit Command(const QString& name)
        : name(name), text(textActions().contains(name)), window(windowActions().contains(name))
    {
    }
    QString name;
    bool text;   // answered by text inputs
    bool window; // answered by windows
};

// One object of the chain, its class read once.
struct Responder {
    explicit Responder(QObject* o)
        : object(o), methods(&classMethods(o->metaObject())), validation(validationIndex(o->metaObject())),
          text(textKind(o)), window(o->isWidgetType() && static_cast<QWidget*>(o)->isWindow())
    {
    }
    bool declares(const QString& action) const
    {
        const Methods& m = methodsIn(*methods, action);
        return m.plain >= 0 || m.withSender >= 0;
    }

    QObject* object;
    const ClassMethods* methods;
    int validation;
    TextKind text;
    bool window;
    std::optional<TextState> state; // read when first needed
};

// The chain at one moment, asked about any number of commands while
// nothing changes: what changes only with the user's doing (a text input's
// state, the clipboard) is read at most once.
class Asking {
public:
    explicit Asking(const QList<QObject*>& chain)
    {
        m_responders.reserve(chain.size());
        for (QObject* o : chain)
            m_responders.emplace_back(o);
    }

    struct Found {
        Responder* responder = nullptr;
        Answer answer = Answer::no;
    };
    // The first responder that answers `command`, and how.
    Found first(const Command& command)
    {
        for (Responder& r : m_responders) {
            const Answer a = answer(r, command);
            if (a != Answer::no)
                return {&r, a};
        }
        return {};
    }

private:
    Answer answer(Responder& r, const Command& c)
    {
        const bool own = r.declares(c.name);
        if (own && r.validation >= 0) {
            bool ok = true;
            r.object->metaObject()->method(r.validation).invoke(r.object, Qt::DirectConnection,
                                                                 Q_RETURN_ARG(bool, ok), Q_ARG(QString, c.name));
            return ok ? Answer::enabled : Answer::disabled;
        }
        if (r.text != TextKind::none && c.text)
            return textCan(r, c.name) ? Answer::enabled : Answer::disabled;
        if (own)
            return Answer::enabled;
        if (r.window && c.window)
            return windowCan(static_cast<const QWidget*>(r.object), c.name) ? Answer::enabled : Answer::disabled;
        return Answer::no;
    }

    bool textCan(Responder& r, const QString& a)
    {
        if (!r.state)
            r.state = textState(r.object, r.text);
        const TextState& s = *r.state;
        if (a == QLatin1String("undo"))
            return s.canUndo && !s.readOnly;
        if (a == QLatin1String("redo"))
            return s.canRedo && !s.readOnly;
        if (a == QLatin1String("cut") || a == QLatin1String("deleteSelection"))
            return s.hasSelection && !s.readOnly;
        if (a == QLatin1String("copy"))
            return s.hasSelection;
        if (a == QLatin1String("paste") || a == QLatin1String("pasteAsPlainText")) {
            if (s.readOnly)
                return false;
            if (!m_clipboardText)
                m_clipboardText = clipboardHasText();
            return *m_clipboardText;
        }
        if (a == QLatin1String("selectAll"))
            return !s.empty;
        return false;
    }

    std::vector<Responder> m_responders;
    std::optional<bool> m_clipboardText;
};

void textDo(QObject* o, const QString& a)
{
    if (auto* line = qobject_cast<QLineEdit*>(o)) {
        if (a == QLatin1String("deleteSelection"))
            line->del();
        else if (a == QLatin1String("pasteAsPlainText"))
            line->paste();
        else
            QMetaObject::invokeMethod(line, a.toLatin1().constData());
        return;
    }
    auto insertPlain = [](QTextCursor c) {
        c.insertText(QGuiApplication::clipboard()->text());
    };
    if (auto* plain = qobject_cast<QPlainTextEdit*>(o)) {
        if (a == QLatin1String("deleteSelection"))
            plain->textCursor().removeSelectedText();
        else if (a == QLatin1String("pasteAsPlainText")) {
            QTextCursor c = plain->textCursor();
            insertPlain(c);
            plain->setTextCursor(c);
        } else
            QMetaObject::invokeMethod(plain, a.toLatin1().constData());
        return;
    }
    if (auto* rich = qobject_cast<QTextEdit*>(o)) {
        if (a == QLatin1String("deleteSelection"))
            rich->textCursor().removeSelectedText();
        else if (a == QLatin1String("pasteAsPlainText")) {
            QTextCursor c = rich->textCursor();
            insertPlain(c);
            rich->setTextCursor(c);
        } else
            QMetaObject::invokeMethod(rich, a.toLatin1().constData());
    }
}

void windowDo(QWidget* w, const QString& a)
{
    if (a == QLatin1String("performClose"))
        w->close();
    else if (a == QLatin1String("performMiniaturize"))
        w->showMinimized();
    else if (a == QLatin1String("performZoom")) {
        if (w->isMaximized())
            w->showNormal();
        else
            w->showMaximized();
    }
}

bool insideMenu(const QWidget* w)
{
    for (const QWidget* p = w; p; p = p->parentWidget()) {
        if (qobject_cast<const QMenu*>(p) || qobject_cast<const QMenuBar*>(p))
            return true;
    }
    return false;
}

} // namespace

bool ResponderChain::declares(const QMetaObject& meta, const QString& action)
{
    return methodIndex(&meta, action, true) >= 0 || methodIndex(&meta, action, false) >= 0;
}

bool ResponderChain::answersItself(const QString& action)
{
    return textActions().contains(action) || windowActions().contains(action);
}

ResponderChain& ResponderChain::shared()
{
    static ResponderChain* c = new ResponderChain;
    return *c;
}

void ResponderChain::addApplicationResponder(QObject* responder)
{
    if (responder && !m_appResponders.contains(responder))
        m_appResponders.append(responder);
}

void ResponderChain::removeApplicationResponder(QObject* responder)
{
    m_appResponders.removeAll(responder);
}

QWidget* ResponderChain::firstResponder()
{
    QWidget* window = QApplication::activeWindow();
    if (window && insideMenu(window))
        window = nullptr;
    if (!window)
        return nullptr;
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != window || insideMenu(focus))
        focus = window->focusWidget();
    return focus ? focus : window;
}

QList<QObject*> ResponderChain::chain() const
{
    QList<QObject*> list;
    if (QWidget* first = firstResponder()) {
        for (QWidget* w = first; w; w = w->parentWidget()) {
            list.append(w);
            // A text input's spelling checker answers the spelling commands
            // right after the input itself.
            if (auto* line = qobject_cast<QLineEdit*>(w)) {
                if (FieldSpelling* spelling = FieldSpelling::of(line))
                    list.append(spelling);
            } else if (qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w)) {
                if (TextChecker* checker = TextChecker::of(w))
                    list.append(checker);
            }
            if (w->isWindow())
                break;
        }
        QWidget* window = first->window();
        if (!list.contains(window))
            list.append(window);
    }
    if (qApp)
        list.append(qApp);
    for (const QPointer<QObject>& r : m_appResponders) {
        if (r && !list.contains(r.data()))
            list.append(r.data());
    }
    return list;
}

QObject* ResponderChain::target(const QString& action) const
{
    Asking asking(chain());
    const Asking::Found found = asking.first(Command(action));
    return found.responder ? found.responder->object : nullptr;
}

bool ResponderChain::canPerform(const QString& action) const
{
    Asking asking(chain());
    return asking.first(Command(action)).answer == Answer::enabled;
}

QList<ResponderChain::Check> ResponderChain::check(const QStringList& actions) const
{
    Asking asking(chain());
    QList<Check> checks;
    checks.reserve(actions.size());
    // Several items may send one command (with different tags): each
    // command is asked about once.
    QHash<QString, Check> asked;
    for (const QString& action : actions) {
        auto it = asked.constFind(action);
        if (it == asked.cend()) {
            const Asking::Found found = asking.first(Command(action));
            it = asked.insert(action, Check{found.answer == Answer::enabled,
                                            found.responder ? found.responder->object : nullptr});
        }
        checks.append(*it);
    }
    return checks;
}

bool ResponderChain::invoke(QObject* o, const QString& action, QAction* sender)
{
    if (!o)
        return false;
    const int withSender = methodIndex(o, action, true);
    if (withSender >= 0)
        return o->metaObject()->method(withSender).invoke(o, Qt::DirectConnection, Q_ARG(QAction*, sender));
    const int plain = methodIndex(o, action, false);
    if (plain >= 0)
        return o->metaObject()->method(plain).invoke(o, Qt::DirectConnection);
    return false;
}

bool ResponderChain::send(const QString& action, QAction* sender)
{
    Asking asking(chain());
    const Command command(action);
    const Asking::Found found = asking.first(command);
    if (found.answer != Answer::enabled)
        return false;
    const Responder& r = *found.responder;
    if (!(r.declares(action) && r.validation >= 0)) {
        if (r.text != TextKind::none && command.text) {
            textDo(r.object, action);
            return true;
        }
        if (!r.declares(action) && r.object->isWidgetType() && command.window) {
            windowDo(static_cast<QWidget*>(r.object), action);
            return true;
        }
    }
    return invoke(r.object, action, sender);
}
