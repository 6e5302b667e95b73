#include "citations/views/CitationView.h"

#include "app/Tool.h"
#include "citations/CitationModel.h"
#include "ui/Chrome.h"
#include "ui/ChromePanel.h"
#include "ui/Fonts.h"

#include <QLabel>
#include <QHBoxLayout>
#include <QVBoxLayout>

CitationView::CitationView(QWidget* parent)
    : QWidget(parent)
    , m_model(new CitationModel(this))
{
    auto* panel = new ChromePanel(this);
    panel->setMaximumWidth(440);
    panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_message = new QLabel(tr("%1 is not available in this release.").arg(Tool(Tool::citation).title()), panel);
    m_message->setObjectName(QStringLiteral("unavailableMessage"));
    m_message->setTextFormat(Qt::PlainText);
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    m_message->setFont(Fonts::style(Fonts::TextStyle::Title3, Fonts::Design::Rounded));
    QPalette pal = m_message->palette();
    pal.setColor(QPalette::WindowText, Chrome::grey(0.35));
    m_message->setPalette(pal);
    panel->contentLayout()->addWidget(m_message);

    // The panel keeps a reading width in wide windows and narrows with the
    // window; the message wraps inside it.
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(panel, 4);
    row->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->addStretch(1);
    layout->addLayout(row);
    layout->addStretch(1);
}
