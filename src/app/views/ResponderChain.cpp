#include "app/views/ResponderChain.h"

#include "app/views/MenuActions.h"

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
#include <QSet>
#include <QTextDocument>
#include <QTextEdit>

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

// Each menu check asks every responder for every item: what a class
// answers is fixed, so its methods are read once, in one pass (asking the
// class for each signature would search all its methods every time).
struct Methods {
    int withSender = -1;
    int plain = -1;
};

using ClassMethods = QHash<QString, Methods>;

ClassMethods readMethods(const QMetaObject* meta)
{
    // From the last method down, as the class's own look-up goes: the first
    // method found with a signature is the one a call by that signature
    // reaches; it counts only when it is a slot or an invokable method.
    ClassMethods methods;
    QSet<QByteArray> seen;
    for (int i = meta->methodCount() - 1; i >= 0; --i) {
        const QMetaMethod m = meta->method(i);
        const QByteArray signature = m.methodSignature();
        const bool plain = signature.endsWith("()");
        if (!plain && !signature.endsWith("(QAction*)"))
            continue;
        if (seen.contains(signature))
            continue;
        seen.insert(signature);
        const bool callable = m.methodType() == QMetaMethod::Slot || m.methodType() == QMetaMethod::Method;
        if (!callable)
            continue;
        Methods& entry = methods[QString::fromLatin1(m.name())];
        (plain ? entry.plain : entry.withSender) = i;
    }
    return methods;
}

const Methods& methodsOf(const QMetaObject* meta, const QString& action)
{
    static QHash<const QMetaObject*, ClassMethods> known;
    static const Methods none;
    auto it = known.constFind(meta);
    if (it == known.cend())
        it = known.insert(meta, readMethods(meta));
    const auto found = it->constFind(action);
    return found == it->cend() ? none : *found;
}

int methodIndex(const QMetaObject* meta, const QString& action, bool withSender)
{
    const Methods& m = methodsOf(meta, action);
    return withSender ? m.withSender : m.plain;
}

int methodIndex(const QObject* o, const QString& action, bool withSender)
{
    return methodIndex(o->metaObject(), action, withSender);
}

bool hasMethod(const QObject* o, const QString& action)
{
    return ResponderChain::declares(*o->metaObject(), action);
}

bool declaresValidation(const QObject* o)
{
    // Asked of every responder for every item: kept per class.
    static QHash<const QMetaObject*, bool> known;
    const QMetaObject* meta = o->metaObject();
    const auto it = known.constFind(meta);
    if (it != known.cend())
        return *it;
    const bool declares = meta->indexOfMethod("validateAction(QString)") >= 0;
    known.insert(meta, declares);
    return declares;
}

bool clipboardHasText()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && (data->hasText() || data->hasHtml());
}

bool isTextInput(const QObject* o)
{
    return qobject_cast<const QLineEdit*>(o) || qobject_cast<const QPlainTextEdit*>(o)
        || qobject_cast<const QTextEdit*>(o);
}

// What a standard text input can do now.
bool textCan(QObject* o, const QString& a)
{
    bool readOnly = false, hasSelection = false, canUndo = false, canRedo = false, empty = true;
    if (auto* line = qobject_cast<QLineEdit*>(o)) {
        readOnly = line->isReadOnly();
        hasSelection = line->hasSelectedText();
        canUndo = line->isUndoAvailable();
        canRedo = line->isRedoAvailable();
        empty = line->text().isEmpty();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(o)) {
        readOnly = plain->isReadOnly();
        hasSelection = plain->textCursor().hasSelection();
        canUndo = plain->document()->isUndoAvailable() && plain->isUndoRedoEnabled();
        canRedo = plain->document()->isRedoAvailable() && plain->isUndoRedoEnabled();
        empty = plain->document()->isEmpty();
    } else if (auto* rich = qobject_cast<QTextEdit*>(o)) {
        readOnly = rich->isReadOnly();
        hasSelection = rich->textCursor().hasSelection();
        canUndo = rich->document()->isUndoAvailable() && rich->isUndoRedoEnabled();
        canRedo = rich->document()->isRedoAvailable() && rich->isUndoRedoEnabled();
        empty = rich->document()->isEmpty();
    }
    if (a == QLatin1String("undo"))
        return canUndo && !readOnly;
    if (a == QLatin1String("redo"))
        return canRedo && !readOnly;
    if (a == QLatin1String("cut") || a == QLatin1String("deleteSelection"))
        return hasSelection && !readOnly;
    if (a == QLatin1String("copy"))
        return hasSelection;
    if (a == QLatin1String("paste") || a == QLatin1String("pasteAsPlainText"))
        return !readOnly && clipboardHasText();
    if (a == QLatin1String("selectAll"))
        return !empty;
    return false;
}

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

ResponderChain::Answer ResponderChain::answer(QObject* o, const QString& action) const
{
    const bool own = hasMethod(o, action);
    if (own && declaresValidation(o)) {
        bool ok = true;
        QMetaObject::invokeMethod(o, "validateAction", Q_RETURN_ARG(bool, ok), Q_ARG(QString, action));
        return ok ? Answer::enabled : Answer::disabled;
    }
    if (isTextInput(o) && textActions().contains(action))
        return textCan(o, action) ? Answer::enabled : Answer::disabled;
    if (own)
        return Answer::enabled;
    if (o->isWidgetType() && static_cast<QWidget*>(o)->isWindow() && windowActions().contains(action))
        return Answer::enabled;
    return Answer::no;
}

QObject* ResponderChain::target(const QString& action) const
{
    return target(action, chain());
}

bool ResponderChain::canPerform(const QString& action) const
{
    return canPerform(action, chain());
}

QObject* ResponderChain::target(const QString& action, const QList<QObject*>& chain) const
{
    for (QObject* o : chain) {
        if (answer(o, action) != Answer::no)
            return o;
    }
    return nullptr;
}

bool ResponderChain::canPerform(const QString& action, const QList<QObject*>& chain) const
{
    for (QObject* o : chain) {
        const Answer a = answer(o, action);
        if (a != Answer::no)
            return a == Answer::enabled;
    }
    return false;
}

bool ResponderChain::perform(QObject* o, const QString& action, QAction* sender) const
{
    if (!(hasMethod(o, action) && declaresValidation(o))) {
        if (isTextInput(o) && textActions().contains(action)) {
            textDo(o, action);
            return true;
        }
        if (!hasMethod(o, action) && o->isWidgetType() && windowActions().contains(action)) {
            windowDo(static_cast<QWidget*>(o), action);
            return true;
        }
    }
    return invoke(o, action, sender);
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
    for (QObject* o : chain()) {
        const Answer a = answer(o, action);
        if (a == Answer::no)
            continue;
        if (a == Answer::disabled)
            return false;
        return perform(o, action, sender);
    }
    return false;
}
