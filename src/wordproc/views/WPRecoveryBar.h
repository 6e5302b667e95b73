#pragma once

#include "wordproc/WPRecovery.h"

#include <QFrame>

class QMainWindow;

// The bar over a document reopened from its recovery copy: what it is,
// when the copy was written, and the two ways out — keep it (Save As…) or
// discard it, after a question, since a discarded copy cannot be brought
// back. It places itself above the window's toolbar and goes once the
// document is saved.
class WPRecoveryBar : public QFrame {
    Q_OBJECT
public:
    WPRecoveryBar(const WPRecovery::Copy& copy, QMainWindow* window);

    // "report (Recovered)" for "report.docx".
    static QString recoveredName(const QString& originalName);
    // The bar's sentence.
    static QString message(const WPRecovery::Copy& copy, const QLocale& locale);
    // Asks whether to discard the recovered text of `name`; true for Discard.
    static bool confirmDiscard(const QString& name);

Q_SIGNALS:
    void saveRequested();
    // The user confirmed Discard.
    void discardRequested();
};
