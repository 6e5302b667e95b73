#include "TestEnvironment.h"
#include "passwords/PasswordBookModel.h"
#include "passwords/views/PasswordsView.h"

#include <QLabel>
#include <QTest>

class PasswordsViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void saysTheToolIsNotAvailable()
    {
        PasswordsView view;
        QCOMPARE(view.messageLabel()->text(), QStringLiteral("Password Generator & Book is not available in this release."));
    }
};

QTEST_MAIN(PasswordsViewTest)
#include "tst_passwordsview.moc"
