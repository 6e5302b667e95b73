#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QAction;
class QWidget;

// Sends menu commands that have no fixed target to whoever can do them:
// the focus widget of the active window (followed by its spelling checker,
// if it is a text input), then its ancestors up to that window, then the application object, then the application responders
// (the application delegate and the word processor's document controller).
// The first object that handles the command gets it; a command nobody
// handles is disabled in the menus.
//
// An object handles the command "name" when it has a slot or invokable
// method "name(QAction*)" (which receives the menu item, for its tag) or
// "name()". It may also declare
//     Q_INVOKABLE bool validateAction(const QString& name) const;
// to say whether the command is possible right now (else it is).
//
// Single- and multi-line text inputs (QLineEdit, QPlainTextEdit, QTextEdit)
// answer the editing commands undo, redo, cut, copy, paste,
// pasteAsPlainText, deleteSelection and selectAll themselves, enabled as
// their state allows, unless they declare validateAction. Any window answers
// performClose, performMiniaturize and performZoom when it has no slot of
// its own for them.
class ResponderChain : public QObject {
    Q_OBJECT
public:
    static ResponderChain& shared();

    // Responders after the application object, in the order added.
    void addApplicationResponder(QObject* responder);
    void removeApplicationResponder(QObject* responder);

    // The chain as it stands now, first responder first.
    QList<QObject*> chain() const;

    // The object that would handle `action` now, or null.
    QObject* target(const QString& action) const;
    bool canPerform(const QString& action) const;

    // What the menus need to know of one item now.
    struct Check {
        bool enabled = false;
        QObject* target = nullptr; // the object that would handle it, or null
    };
    // canPerform() and target() for many actions at once, against the chain
    // as it stands now: each responder's class, its editing state and the
    // clipboard are read once however many actions ask. One result per
    // action, in order.
    QList<Check> check(const QStringList& actions) const;

    // Performs `action` on its target; false when nobody handles it or the
    // handler refuses it now.
    bool send(const QString& action, QAction* sender = nullptr);

    // Calls `action` on `target` as a menu item would: "name(QAction*)" with
    // the item, else "name()". False when `target` has neither.
    static bool invoke(QObject* target, const QString& action, QAction* sender);

    // Whether objects of class `meta` handle `action` (see above).
    static bool declares(const QMetaObject& meta, const QString& action);
    // Whether `action` is one of the editing or window commands that text
    // inputs and windows answer without a slot of their own.
    static bool answersItself(const QString& action);

    // The widget the chain starts at: the focus widget of the active window
    // (a menu being open does not change it), or the active window itself.
    static QWidget* firstResponder();

private:
    ResponderChain() = default;

    QList<QPointer<QObject>> m_appResponders;
};
