#include "app/views/AboutView.h"

#include "app/views/AppIcon.h"

#include "ui/StyledLabel.h"

#include "core/AppSettings.h"
#include "ui/AppLook.h"
#include "ui/Chrome.h"
#include "ui/Fonts.h"

#include <QDesktopServices>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QLabel* textLabel(const QString& text, const QFont& font, QWidget* parent, const QColor& color = QColor())
{
    QLabel* label = styledLabel(text, font, color, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

AboutView::AboutView(QWidget* parent) : QWidget(parent)
{
    setPalette(AppLook::lightPalette());
    const QColor secondary(0, 0, 0, 128);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(12);
    layout->addStretch(1);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("appIcon"));
    icon->setFixedSize(128, 128);
    icon->setAlignment(Qt::AlignCenter);
    const QIcon image = AppIcon::icon();
    if (!image.isNull())
        icon->setPixmap(image.pixmap(QSize(128, 128), devicePixelRatioF()));
    layout->addWidget(icon, 0, Qt::AlignHCenter);

    layout->addWidget(textLabel(QStringLiteral("Brindleworks"), Fonts::system(28, QFont::ExtraBold, Fonts::Design::Rounded), this));
    layout->addWidget(textLabel(QStringLiteral("by Corvandel Softworks"),
                                Fonts::system(15, QFont::DemiBold, Fonts::Design::Rounded), this));

    auto* link = new QLabel(this);
    link->setObjectName(QStringLiteral("websiteLink"));
    link->setFont(Fonts::system(14, QFont::Bold, Fonts::Design::Rounded));
    link->setTextFormat(Qt::RichText);
    link->setAlignment(Qt::AlignCenter);
    link->setText(QStringLiteral("<a href=\"%1\" style=\"text-decoration:none\">%2</a>")
                      .arg(AppSettings::vexoURL().toString(QUrl::FullyEncoded).toHtmlEscaped(), linkText().toHtmlEscaped()));
    link->setToolTip(AppSettings::vexoURL().toString());
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setCursor(Qt::PointingHandCursor);
    connect(link, &QLabel::linkActivated, this, [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); });
    layout->addWidget(link);

    auto* version = textLabel(QStringLiteral("Version ") + AppSettings::appVersion(),
                              Fonts::style(Fonts::TextStyle::Caption), this, secondary);
    version->setObjectName(QStringLiteral("version"));
    layout->addWidget(version);

    auto* tools = textLabel(toolList(), Fonts::system(11), this, secondary);
    tools->setObjectName(QStringLiteral("toolList"));
    tools->setWordWrap(true);
    tools->setContentsMargins(20, 0, 20, 0);
    layout->addWidget(tools);

    layout->addStretch(1);
}

QString AboutView::toolList()
{
    return QStringLiteral("Calculator · Scientific Calculator · Word Processor · Sticky Notes · Notes Recorder · "
                          "Focus Timer & To-Do · Citation Builder · Invoice & Receipt Maker · Study Timeline · "
                          "Unit Converter · Loan & GPA Calculator · Password Generator & Book · Solitaire · Bingo");
}

QString AboutView::linkText()
{
    return QStringLiteral("Visit the Corvandel Softworks Website");
}

void AboutView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Chrome::windowBackground(QRectF(rect())));
}
