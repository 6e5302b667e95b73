// Placeholder until printing and PDF export land.
#include "wordproc/print/WPPrint.h"

#include <QTextDocument>

namespace WPPrint {

QString expand(const QString& templ, int, int, const QDate&, const QString&)
{
    return templ;
}

int pageCount(const QTextDocument&, const WPPageSetup&)
{
    return 1;
}

bool render(const QTextDocument&, const WPPageSetup&, const QString&, const QString&, const QString&,
            QPagedPaintDevice*)
{
    return false;
}

bool exportPDF(const QTextDocument&, const WPPageSetup&, const QString&, const QString&, const QString&,
               const QString&)
{
    return false;
}

} // namespace WPPrint
