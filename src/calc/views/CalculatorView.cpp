#include "calc/views/CalculatorView.h"

#include "ui/StyledLabel.h"

#include "calc/CalculatorModel.h"
#include "calc/views/CalcLook.h"
#include "calc/views/DisplayPanel.h"
#include "calc/views/FitLabel.h"
#include "ui/Chrome.h"
#include "ui/ChromeButton.h"
#include "ui/ChromeKey.h"
#include "ui/Fonts.h"
#include "ui/WrapLabel.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

// A focused text input that takes typing: the keyboard then belongs to it.
bool isEditableText(const QWidget* w)
{
    if (!w)
        return false;
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        return !e->isReadOnly();
    if (auto* e = qobject_cast<const QPlainTextEdit*>(w))
        return !e->isReadOnly();
    if (auto* e = qobject_cast<const QTextEdit*>(w))
        return !e->isReadOnly();
    if (auto* e = qobject_cast<const QAbstractSpinBox*>(w))
        return !e->isReadOnly();
    if (auto* e = qobject_cast<const QComboBox*>(w))
        return e->isEditable();
    return false;
}

// The "M" of a value in memory, in the 12-point extra-bold rounded face:
// 10 × 15, given rather than measured. Hidden until memory holds a value, it
// keeps its room in the line all the same, and measuring it would load its
// face for a first frame that does not show it.
class MemoryMarker : public QLabel {
public:
    explicit MemoryMarker(QWidget* parent) : QLabel(QStringLiteral("M"), parent) {}
    QSize sizeHint() const override { return QSize(10, 15); }
    QSize minimumSizeHint() const override { return sizeHint(); }
};

const QString kCopy = QStringLiteral("copy");
const QString kPaste = QStringLiteral("paste");

} // namespace

const QList<QStringList>& CalculatorView::rows()
{
    static const QList<QStringList> r{
        {QStringLiteral("MC"), QStringLiteral("MR"), QStringLiteral("M+"), QStringLiteral("M-")},
        {QStringLiteral("C"), QStringLiteral("±"), QStringLiteral("%"), QStringLiteral("÷")},
        {QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("×")},
        {QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("-")},
        {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("+")},
        {QStringLiteral("0"), QStringLiteral("."), QStringLiteral("⌫"), QStringLiteral("=")},
    };
    return r;
}

std::optional<QColor> CalculatorView::tint(const QString& key)
{
    static const QStringList operators{QStringLiteral("÷"), QStringLiteral("×"), QStringLiteral("-"),
                                       QStringLiteral("+"), QStringLiteral("=")};
    if (operators.contains(key))
        return Chrome::turquoiseDeep();
    if (key == QLatin1String("C"))
        return Chrome::cherry();
    if (key.startsWith(QLatin1Char('M')))
        return QColor::fromRgbF(0.35f, 0.3f, 0.5f);
    return std::nullopt;
}

QString CalculatorView::spoken(const QString& key)
{
    static const QHash<QString, QString> names{
        {QStringLiteral("÷"), QStringLiteral("divide")},
        {QStringLiteral("×"), QStringLiteral("multiply")},
        {QStringLiteral("-"), QStringLiteral("minus")},
        {QStringLiteral("+"), QStringLiteral("plus")},
        {QStringLiteral("="), QStringLiteral("equals")},
        {QStringLiteral("⌫"), QStringLiteral("backspace")},
        {QStringLiteral("±"), QStringLiteral("plus minus")},
        {QStringLiteral("%"), QStringLiteral("percent")},
        {QStringLiteral("C"), QStringLiteral("clear")},
        {QStringLiteral("MC"), QStringLiteral("memory clear")},
        {QStringLiteral("MR"), QStringLiteral("memory recall")},
        {QStringLiteral("M+"), QStringLiteral("memory add")},
        {QStringLiteral("M-"), QStringLiteral("memory subtract")},
    };
    return names.value(key, key);
}

qreal CalculatorView::displayFontSize(const QString& text)
{
    return text.size() > 12 ? 26 : 40;
}

CalculatorView::CalculatorView(QWidget* parent)
    : QWidget(parent)
    , m_model(new CalculatorModel(this))
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(14, 14, 14, 14);
    column->setSpacing(10);

    // Display.
    auto* panel = new DisplayPanel(this);
    auto* lines = new QVBoxLayout(panel);
    lines->setContentsMargins(12, 12, 12, 12);
    lines->setSpacing(2);
    auto* top = new QHBoxLayout;
    top->setSpacing(8);
    m_memoryMarker = new MemoryMarker(panel);
    m_memoryMarker->setTextFormat(Qt::PlainText);
    m_memoryMarker->setFont(Fonts::system(12, QFont::ExtraBold, Fonts::Design::Rounded));
    QPalette mp = m_memoryMarker->palette();
    mp.setColor(QPalette::WindowText, Chrome::cherry());
    m_memoryMarker->setPalette(mp);
    m_memoryMarker->setAccessibleName(QStringLiteral("Memory"));
    QSizePolicy keep = m_memoryMarker->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_memoryMarker->setSizePolicy(keep);
    top->addWidget(m_memoryMarker);
    top->addStretch(1);
    auto* expression = new FitLabel(panel);
    expression->setBaseFont(Fonts::system(13, QFont::Normal, Fonts::Design::Monospaced));
    // The height of a 13-point monospaced line, given: the line is empty
    // until the first key, and measuring it would load its face for a first
    // frame that shows nothing in it.
    expression->setLineHeight(16);
    expression->setMinimumScale(1);
    expression->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QPalette ep = expression->palette();
    ep.setColor(QPalette::WindowText, CalcLook::secondaryOnDisplay());
    expression->setPalette(ep);
    m_expression = expression;
    top->addWidget(expression, 100);
    lines->addLayout(top);

    m_display = new FitLabel(panel);
    m_display->setObjectName(QStringLiteral("display"));
    m_display->setMinimumScale(0.4);
    m_display->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_display->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_display->setFocusPolicy(Qt::NoFocus);
    QPalette dp = m_display->palette();
    dp.setColor(QPalette::WindowText, CalcLook::displayText());
    m_display->setPalette(dp);
    // Keep the line as tall as the large font whichever size shows.
    m_display->setMinimumHeight(QFontMetrics(Fonts::system(40, QFont::DemiBold, Fonts::Design::Rounded)).height());
    lines->addWidget(m_display);
    column->addWidget(panel);

    // Copy Result, Paste and the flash.
    auto* actions = new QHBoxLayout;
    actions->setSpacing(8);
    auto* copyButton = new ChromeButton(QStringLiteral("Copy Result"), false, true, this);
    auto* pasteButton = new ChromeButton(QStringLiteral("Paste"), false, true, this);
    copyButton->setFocusPolicy(Qt::NoFocus);
    pasteButton->setFocusPolicy(Qt::NoFocus);
    connect(copyButton, &QPushButton::clicked, this, &CalculatorView::copy);
    connect(pasteButton, &QPushButton::clicked, this, &CalculatorView::paste);
    actions->addWidget(copyButton);
    actions->addWidget(pasteButton);
    actions->addStretch(1);
    m_flash = styledLabel(QString(), Fonts::style(Fonts::TextStyle::Caption), Chrome::turquoiseDeep(), this);
    actions->addWidget(m_flash);
    column->addLayout(actions);

    // Keypad.
    auto* pad = new QVBoxLayout;
    pad->setSpacing(8);
    for (const QStringList& row : rows()) {
        auto* line = new QHBoxLayout;
        line->setSpacing(8);
        for (const QString& label : row) {
            auto* k = new ChromeKey(label, tint(label), this);
            k->setLabelFont(CalcLook::keyFace({label}), ChromeKey::labelSize);
            k->setAccessibleName(spoken(label));
            k->setFocusPolicy(Qt::NoFocus);
            k->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            connect(k, &QPushButton::clicked, m_model, [this, label] { m_model->input(label); });
            m_keys.insert(label, k);
            line->addWidget(k, 1);
        }
        pad->addLayout(line, 1);
    }
    column->addLayout(pad, 1);

    auto* hint = new WrapLabel(
        QStringLiteral("Type numbers and + − * / on your keyboard • Enter = • Esc clears • Ctrl+C copies"), this);
    hint->setFont(Fonts::system(10));
    QPalette hp = hint->palette();
    hp.setColor(QPalette::WindowText, CalcLook::secondary());
    hint->setPalette(hp);
    hint->setAlignment(Qt::AlignHCenter);
    column->addWidget(hint);

    connect(m_model, &CalculatorModel::changed, this, &CalculatorView::refresh);
    connect(m_model, &CalculatorModel::flashChanged, this, &CalculatorView::refresh);
    refresh();

    qApp->installEventFilter(this);
}

CalculatorView::~CalculatorView()
{
    qApp->removeEventFilter(this);
}

void CalculatorView::refresh()
{
    const QString text = m_model->display();
    m_display->setBaseFont(Fonts::system(displayFontSize(text), QFont::DemiBold, Fonts::Design::Rounded));
    m_display->setFittedText(text);
    m_display->setAccessibleName(QStringLiteral("Display ") + text);
    m_memoryMarker->setVisible(m_model->hasMemory());
    m_expression->setFittedText(m_model->expressionLine());
    m_flash->setText(m_model->flashText());
    m_flash->setVisible(m_model->flash().has_value());
}

void CalculatorView::copy()
{
    const QString text = m_model->copy();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

void CalculatorView::paste()
{
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isNull())
        return;
    m_model->paste(text);
}

std::optional<QString> CalculatorView::keyFor(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods & Qt::ControlModifier) {
        if (event->key() == Qt::Key_C)
            return kCopy;
        if (event->key() == Qt::Key_V)
            return kPaste;
        return std::nullopt;
    }
    // Alt and Meta combinations belong to menus and the desktop.
    if (mods & (Qt::AltModifier | Qt::MetaModifier))
        return std::nullopt;

    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("=");
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        return QStringLiteral("⌫");
    case Qt::Key_Escape:
        return QStringLiteral("C");
    default:
        break;
    }

    const QString typed = event->text();
    static const QHash<QString, QString> map{
        {QStringLiteral("*"), QStringLiteral("×")}, {QStringLiteral("x"), QStringLiteral("×")},
        {QStringLiteral("X"), QStringLiteral("×")}, {QStringLiteral("/"), QStringLiteral("÷")},
        {QStringLiteral("="), QStringLiteral("=")}, {QStringLiteral("%"), QStringLiteral("%")},
        {QStringLiteral("c"), QStringLiteral("C")}, {QStringLiteral("C"), QStringLiteral("C")},
        {QStringLiteral("+"), QStringLiteral("+")}, {QStringLiteral("-"), QStringLiteral("-")},
        {QStringLiteral("."), QStringLiteral(".")}, {QStringLiteral(","), QStringLiteral(".")},
    };
    if (auto it = map.constFind(typed); it != map.constEnd())
        return it.value();
    if (typed.size() == 1 && typed.at(0).isDigit())
        return typed;
    return std::nullopt;
}

bool CalculatorView::handleKey(QKeyEvent* event)
{
    const std::optional<QString> key = keyFor(event);
    if (!key)
        return false;
    if (*key == kCopy)
        copy();
    else if (*key == kPaste)
        paste();
    else
        m_model->input(*key);
    return true;
}

bool CalculatorView::takesKeysFrom(QObject* watched) const
{
    if (!watched->isWidgetType())
        return false;
    auto* w = static_cast<QWidget*>(watched);
    QWidget* win = window();
    if (w->window() != win || !isVisible() || !win->isActiveWindow())
        return false;
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus->window() == win && isEditableText(focus))
        return false;
    return true;
}

bool CalculatorView::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return false;
    if (!takesKeysFrom(watched))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::ShortcutOverride) {
        // Keep window shortcuts (Copy, Paste in the menus) from taking the
        // keys the calculator answers; the key press then comes here.
        if (!keyFor(key))
            return false;
        event->accept();
        return true;
    }
    if (!handleKey(key))
        return false;
    event->accept();
    return true;
}
