// Self-test suites of the application shell: the launch list, the floating
// menu's placement rules, the menus and their key equivalents, the command
// routing and the single-instance lock.
#include "core/Tool.h"
#include "app/views/AppDelegate.h"
#include "app/views/FloatingMenuController.h"
#include "app/views/MainMenu.h"
#include "app/views/ResponderChain.h"
#include "app/views/SingleInstance.h"
#include "app/views/WindowManager.h"
#include "selftest/SelfTest.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QUuid>

namespace {

QString names(const QList<Tool>& tools)
{
    QStringList raw;
    for (const Tool t : tools)
        raw << t.rawValue();
    return raw.join(QLatin1Char(','));
}

SelfTest::Suite launchListSuite("LaunchList", [](SelfTest::Check& c) {
    struct Case {
        const char* value;
        const char* opens;
    };
    const Case cases[] = {
        {"calculator,,scientific,", "calculator,scientific"},
        {"Calculator", ""},
    };
    for (const Case& k : cases)
        c.equal(names(AppDelegate::launchList(QString::fromLatin1(k.value))), QString::fromLatin1(k.opens),
                QStringLiteral("VEXO_BW_OPEN=\"%1\"").arg(QString::fromLatin1(k.value)));
});

SelfTest::Suite placementSuite("FloatingMenuPlacement", [](SelfTest::Check& c) {
    const QRect screen(0, 25, 1440, 875);
    const QPoint column = FloatingMenuController::firstPlacement(QSize(76, 760), screen, true);
    c.equal(qint64(column.x() + 76), qint64(1440 - 12), QStringLiteral("column's right edge 12 inside the screen"));
    c.equal(qint64(column.y() + 380), qint64(25 + 875 / 2), QStringLiteral("column centred top to bottom"));
    const QPoint row = FloatingMenuController::firstPlacement(QSize(880, 96), screen, false);
    c.equal(qint64(row.y()), qint64(35), QStringLiteral("row's top 10 below the screen's top"));
    c.equal(qint64(row.x() + 440), qint64(720), QStringLiteral("row centred left to right"));
    c.equal(FloatingMenuController::frameName(true), QStringLiteral("VEXO.FloatingMenu.v"), QStringLiteral("column frame name"));
    c.equal(FloatingMenuController::frameName(false), QStringLiteral("VEXO.FloatingMenu.h"), QStringLiteral("row frame name"));
    c.equal(WindowManager::frameName(Tool(Tool::loanGPA).rawValue()), QStringLiteral("VEXO.loanGPA"),
            QStringLiteral("tool frame name"));
});

SelfTest::Suite menuSuite("Menus", [](SelfTest::Check& c) {
    MainMenu& m = MainMenu::shared();
    const QList<QMenu*> menus = m.menus();
    QStringList titles;
    for (QMenu* menu : menus)
        titles << QString(menu->title()).remove(QLatin1Char('&'));
    c.equal(titles.join(QLatin1Char(' ')), QStringLiteral("Brindleworks File Edit Format Tools Window Help"),
            QStringLiteral("menu bar"));
    QMenu* tools = menus.value(4);
    c.that(tools != nullptr, QStringLiteral("Tools menu exists"));
    if (!tools)
        return;
    QStringList keys;
    bool headingDisabled = false;
    for (QAction* a : tools->actions()) {
        if (a->isSeparator())
            continue;
        if (a->text() == QLatin1String("Games"))
            headingDisabled = !a->isEnabled();
        else
            keys << (a->shortcut().isEmpty() ? QStringLiteral("none") : a->shortcut().toString(QKeySequence::PortableText));
    }
    c.equal(keys.join(QLatin1Char(' ')),
            QStringLiteral("Ctrl+Alt+1 Ctrl+Alt+2 Ctrl+Alt+3 Ctrl+Alt+4 Ctrl+Alt+5 Ctrl+Alt+6 Ctrl+Alt+7 Ctrl+Alt+8 "
                           "Ctrl+Alt+9 none none none none none"),
            QStringLiteral("tool key equivalents"));
    c.that(headingDisabled, QStringLiteral("the Games heading cannot be chosen"));
    c.equal(MainMenu::title(tools->actions().value(7)), QStringLiteral("Invoice & Receipt Maker"),
            QStringLiteral("ampersands shown as written"));
});

// A stand-in for the word processor: answers one command.
class Responder : public QObject {
    Q_OBJECT
public:
    int bullets = 0;
public Q_SLOTS:
    void toggleBullets() { ++bullets; }
};

SelfTest::Suite chainSuite("ResponderChain", [](SelfTest::Check& c) {
    ResponderChain& chain = ResponderChain::shared();
    Responder r;
    c.that(!chain.canPerform(QStringLiteral("toggleBullets")), QStringLiteral("nobody answers: disabled"));
    chain.addApplicationResponder(&r);
    c.that(chain.canPerform(QStringLiteral("toggleBullets")), QStringLiteral("a responder answers: enabled"));
    c.that(chain.send(QStringLiteral("toggleBullets")) && r.bullets == 1, QStringLiteral("the command reaches it"));
    c.that(!chain.canPerform(QStringLiteral("hide")), QStringLiteral("a slot of another name does not answer"));
    chain.removeApplicationResponder(&r);
    c.that(!chain.send(QStringLiteral("toggleBullets")), QStringLiteral("removed: nothing handles it"));
});

SelfTest::Suite singleInstanceSuite("SingleInstance", [](SelfTest::Check& c) {
    const QString name = QStringLiteral("bw-selftest-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    SingleInstance first(name);
    c.that(first.start() == SingleInstance::Role::primary, QStringLiteral("the first start is the primary"));
    // The primary answers on the event loop this process is blocked in, so
    // a second start here finds it silent.
    SingleInstance second(name);
    c.that(second.start(200) == SingleInstance::Role::noAnswer,
           QStringLiteral("a second start does not become a primary"));
    c.that(SingleInstance::defaultName().startsWith(QStringLiteral("brindleworks-")),
           QStringLiteral("instance name"));
});

} // namespace

#include "ShellSuites.moc"
