#include "TestEnvironment.h"
#include "core/Store.h"
#include "citations/CitationModel.h"
#include "citations/views/CitationView.h"

#include <QFile>
#include <QLabel>
#include <QTest>

class CitationViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnvironment::clearDataFolder(); }

    void ownsAModelThatReadsTheFile()
    {
        CitationModel::Saved saved;
        saved.style = QStringLiteral("MLA");
        QVERIFY(Store::save(saved, QStringLiteral("citations.json")));
        CitationView view;
        QVERIFY(view.model());
        QCOMPARE(view.model()->parent(), &view);
        QCOMPARE(view.model()->style(), QStringLiteral("MLA"));
    }

    void saysTheToolIsNotAvailable()
    {
        CitationView view;
        QCOMPARE(view.messageLabel()->text(), QStringLiteral("Citation Builder is not available in this release."));
    }
};

QTEST_MAIN(CitationViewTest)
#include "tst_citationview.moc"
