#pragma once

// An editor window over a new document, shown and exposed, with the few
// things the widget tests do to it.

#include "wordproc/WPDocument.h"
#include "wordproc/WPState.h"
#include "wordproc/views/PageTextView.h"
#include "wordproc/views/WPWindowController.h"

#include <QTest>
#include <QTextCursor>
#include <memory>

struct EditorFixture {
    std::unique_ptr<WPDocument> doc = std::make_unique<WPDocument>();
    std::unique_ptr<WPWindowController> window;
    EditorFixture()
    {
        window = std::make_unique<WPWindowController>(doc.get());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    PageTextView* view() const { return window->textView(); }
    WPState* state() const { return window->state(); }
    void type(const QString& text) { QTest::keyClicks(view(), text); }
    void key(Qt::Key key) { QTest::keyClick(view(), key); }
    void select(int start, int end)
    {
        QTextCursor c(doc->storage());
        c.setPosition(start);
        c.setPosition(end, QTextCursor::KeepAnchor);
        view()->setTextCursor(c);
    }
};
