#include "wordproc/views/WPRecoveryBar.h"

#include "ui/Alert.h"

#include <QBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>

WPRecoveryBar::WPRecoveryBar(const WPRecovery::Copy& copy, QMainWindow* window)
    : QFrame(window ? window->centralWidget() : nullptr)
{
    setObjectName(QStringLiteral("recoveryBar"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor::fromRgbF(1.0, 0.93, 0.70));
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 6, 12, 6);
    auto* text = new QLabel(message(copy, QLocale()), this);
    text->setWordWrap(true);
    row->addWidget(text, 1);
    auto* discard = new QPushButton(QStringLiteral("Discard"), this);
    auto* save = new QPushButton(QStringLiteral("Save As\u2026"), this);
    save->setDefault(true);
    row->addWidget(discard);
    row->addWidget(save);
    connect(save, &QPushButton::clicked, this, &WPRecoveryBar::saveRequested);
    const QString name = copy.name;
    connect(discard, &QPushButton::clicked, this, [this, name] {
        const QPointer<WPRecoveryBar> self(this);
        if (confirmDiscard(name) && self)
            Q_EMIT discardRequested();
    });
    if (window && window->centralWidget()) {
        if (auto* stack = qobject_cast<QBoxLayout*>(window->centralWidget()->layout()))
            stack->insertWidget(0, this);
    }
}

bool WPRecoveryBar::confirmDiscard(const QString& name)
{
    return runAlert(QStringLiteral("Discard the recovered text of \u201c%1\u201d?").arg(name),
                    QStringLiteral("The changes recovered after Brindleworks ended unexpectedly will be lost. "
                                   "This cannot be undone."),
                    AlertStyle::Warning, {QStringLiteral("Discard"), QStringLiteral("Cancel")})
        == alertFirstButton;
}

QString WPRecoveryBar::recoveredName(const QString& originalName)
{
    const QString base = QFileInfo(originalName).completeBaseName();
    return (base.isEmpty() ? originalName : base) + QStringLiteral(" (Recovered)");
}

QString WPRecoveryBar::message(const WPRecovery::Copy& copy, const QLocale& locale)
{
    const QString when = locale.toString(copy.saved.toLocalTime(), QLocale::LongFormat);
    const QString what = copy.filePath.isEmpty()
        ? QStringLiteral("\u201c%1\u201d").arg(copy.name)
        : QStringLiteral("\u201c%1\u201d").arg(QDir::toNativeSeparators(copy.filePath));
    const QString text = QStringLiteral("Recovered: the unsaved changes to %1 as saved automatically on %2, before "
                                        "Brindleworks ended unexpectedly. Save them to keep them, or discard them.")
                             .arg(what, when);
    if (!copy.isInTemporaryFolder())
        return text;
    // The temporary folder may be emptied at the next restart of the computer.
    return text
        + QStringLiteral(" The data folder had no room for them, so they were kept in the temporary folder as "
                         "\u201c%1\u201d, which the system may empty.")
              .arg(QDir::toNativeSeparators(copy.storedAt));
}
