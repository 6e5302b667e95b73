#include "app/views/HelpView.h"

#include "core/AppSettings.h"
#include "ui/AppLook.h"

#include <QDesktopServices>
#include <QFile>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {
const QString kHelpResource = QStringLiteral(":/Help.html");
}

HelpView::HelpView(QWidget* parent) : HelpView(helpPage(), parent) {}

HelpView::HelpView(const QUrl& page, QWidget* parent) : QWidget(parent)
{
    setPalette(AppLook::lightPalette());
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setFrameShape(QFrame::NoFrame);
    m_browser->setOpenLinks(false);
    m_browser->setOpenExternalLinks(false);
    m_browser->document()->setDocumentMargin(16);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpView::follow);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);

    // Loaded once; reopening the window shows the page where the user left it.
    if (page.isEmpty())
        m_browser->setHtml(builtInPage());
    else
        m_browser->setSource(page);
}

QUrl HelpView::helpPage()
{
    if (!QFile::exists(kHelpResource))
        return {};
    return QUrl(QStringLiteral("qrc") + kHelpResource);
}

QString HelpView::builtInPage()
{
    return QStringLiteral("<h1>Brindleworks Help</h1><p>by <a href=\"%1\">Corvandel Softworks</a></p>")
        .arg(AppSettings::vexoURL().toString(QUrl::FullyEncoded).toHtmlEscaped());
}

HelpView::Route HelpView::route(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme.startsWith(QLatin1String("http")))
        return Route::browser;
    if (scheme.isEmpty() || scheme == QLatin1String("file") || scheme == QLatin1String("qrc"))
        return Route::inside;
    // A page could run code or show made-up content through these.
    if (scheme == QLatin1String("javascript") || scheme == QLatin1String("vbscript") || scheme == QLatin1String("data"))
        return Route::ignored;
    return Route::desktop;
}

void HelpView::follow(const QUrl& link)
{
    const QUrl base = m_browser->source();
    const QUrl target = base.isEmpty() ? link : base.resolved(link);
    switch (route(target)) {
    case Route::browser:
    case Route::desktop:
        QDesktopServices::openUrl(target);
        break;
    case Route::inside:
        m_browser->setSource(target);
        break;
    case Route::ignored:
        break;
    }
}
