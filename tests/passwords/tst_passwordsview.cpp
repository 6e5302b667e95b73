#include "TestEnvironment.h"
#include "passwords/PasswordBookModel.h"
#include "passwords/views/PasswordsView.h"
#include "ui/ToolScaffold.h"

#include <QLabel>
#include <QTest>

class PasswordsViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void observesTheSharedBook()
    {
        PasswordsView a;
        PasswordsView b;
        QCOMPARE(&a.model(), &PasswordBookModel::shared());
        QCOMPARE(&b.model(), &PasswordBookModel::shared());
    }

    void saysTheToolIsNotAvailable()
    {
        auto* view = new PasswordsView;
        ToolScaffold window(Tool::passwords, view);
        window.resize(Tool(Tool::passwords).defaultSize().value());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QLabel* label = view->messageLabel();
        QCOMPARE(label->text(), QStringLiteral("Password Generator & Book is not available in this release."));
        QVERIFY(label->isVisible());
        const QPoint centre = label->mapTo(view, label->rect().center());
        QVERIFY(qAbs(centre.x() - view->width() / 2) <= 2);
        QVERIFY(qAbs(centre.y() - view->height() / 2) <= 2);
        // At the smallest window size the message wraps, whole and inside.
        window.resize(320, 300);
        QTest::qWait(20);
        QVERIFY(label->height() >= label->heightForWidth(label->width()));
        QVERIFY(view->rect().contains(QRect(label->mapTo(view, QPoint(0, 0)), label->size())));
        window.resize(Tool(Tool::passwords).defaultSize().value());
        QTest::qWait(20);
        const QString dir = qEnvironmentVariable("BW_SNAPSHOT_DIR");
        if (!dir.isEmpty())
            QVERIFY(window.grab().save(dir + QStringLiteral("/passwords.png")));
    }
};

QTEST_MAIN(PasswordsViewTest)
#include "tst_passwordsview.moc"
