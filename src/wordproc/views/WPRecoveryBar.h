#pragma once

#include "wordproc/WPRecovery.h"

#include <QFrame>

class QMainWindow;

// The bar over a document reopened from its recovery copy: what it is,
// when the copy was written, and the two ways out — keep it (Save As…) or
// discard it. It places itself above the window's toolbar and goes once
// the document is saved.
class WPRecoveryBar : public QFrame {
    Q_OBJECT
public:
    WPRecoveryBar(const WPRecovery::Copy& copy, QMainWindow* window);

    // "report (Recovered)" for "report.docx".
    static QString recoveredName(const QString& originalName);
    // The bar's sentence.
    static QString message(const WPRecovery::Copy& copy, const QLocale& locale);

Q_SIGNALS:
    void saveRequested();
    void discardRequested();
};
