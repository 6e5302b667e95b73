#include "calc/views/ConverterStyle.h"

#include "calc/views/ConverterCombo.h"
#include "ui/Chrome.h"
#include "ui/Fonts.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

namespace ConverterStyle {

QFont rounded(qreal size, QFont::Weight weight)
{
    // The rounded face alone: a second family in the list has Qt look up the
    // face's whole fallback list when the font is first used (a full
    // fontconfig sort), though the rounded face draws every figure, unit
    // name and symbol here. A character it lacks still finds a fallback, looked
    // up when first met.
    QFont f = Fonts::system(size, weight, Fonts::Design::Rounded);
    f.setFamilies({f.families().constFirst()});
    return f;
}

QFont caption()
{
    return Fonts::style(Fonts::TextStyle::Caption);
}

QColor secondary()
{
    return Chrome::grey(0.0, 0.5);
}

QWidget* labelledPicker(const QString& text, ConverterCombo* combo, int width, QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(6);
    QLabel* l = styledLabel(text, Fonts::system(13), Chrome::ink(), row);
    l->setBuddy(combo);
    h->addWidget(l);
    combo->setParent(row);
    h->addWidget(combo, 1);
    if (width > 0) {
        row->setMaximumWidth(width);
        row->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }
    return row;
}

namespace {

class SelectOnHover : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::HoverEnter:
        case QEvent::MouseButtonPress:
        case QEvent::ContextMenu:
            if (auto* label = qobject_cast<QLabel*>(watched)) {
                label->removeEventFilter(this);
                label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            }
            break;
        default:
            break;
        }
        return false;
    }
};

} // namespace

void selectableOnHover(QLabel* label)
{
    static SelectOnHover* filter = new SelectOnHover(qApp);
    label->installEventFilter(filter);
}

QString menuText(const QString& text)
{
    QString t = text;
    t.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return t;
}

} // namespace ConverterStyle
