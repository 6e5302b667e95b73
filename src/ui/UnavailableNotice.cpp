#include "ui/UnavailableNotice.h"

#include "ui/Chrome.h"
#include "ui/ChromePanel.h"
#include "ui/Fonts.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

QLabel* addUnavailableNotice(QWidget* view, Tool tool)
{
    auto* panel = new ChromePanel(view);
    panel->setMaximumWidth(440);
    panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* message = new QLabel(
        QCoreApplication::translate("UnavailableNotice", "%1 is not available in this release.").arg(tool.title()),
        panel);
    message->setObjectName(QStringLiteral("unavailableMessage"));
    message->setTextFormat(Qt::PlainText);
    message->setAlignment(Qt::AlignCenter);
    message->setWordWrap(true);
    message->setFont(Fonts::style(Fonts::TextStyle::Title3, Fonts::Design::Rounded));
    QPalette pal = message->palette();
    pal.setColor(QPalette::WindowText, Chrome::grey(0.35));
    message->setPalette(pal);
    panel->contentLayout()->addWidget(message);

    // The panel keeps a reading width in wide windows and narrows with the
    // window; the message wraps inside it.
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(panel, 4);
    row->addStretch(1);
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->addStretch(1);
    layout->addLayout(row);
    layout->addStretch(1);
    return message;
}
