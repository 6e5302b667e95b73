#include "wordproc/views/WPToolbar.h"

#include "ui/ChromeButton.h"
#include "ui/ChromeShape.h"
#include "ui/Fonts.h"
#include "ui/TextChecker.h"
#include "wordproc/WPCommands.h"
#include "wordproc/WPState.h"
#include "wordproc/views/PageTextView.h"
#include "wordproc/views/WPFixedCombo.h"
#include "wordproc/views/WPToolbarFlow.h"
#include "wordproc/views/WPWindowController.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFrame>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace {

QFrame* divider(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedHeight(20);
    return line;
}

} // namespace

WPToolbar::WPToolbar(WPWindowController* controller, WPState* state, const QList<qreal>& sizes, QWidget* parent)
    : QWidget(parent)
    , m_c(controller)
    , m_s(state)
    , m_sizes(sizes)
{
    setObjectName(QStringLiteral("wpToolbar"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 4, 6, 4);
    auto* shape = new ChromeShape(ChromeShape::Outline::roundedRect(16), this);
    outer->addWidget(shape);
    // Two rows of controls; at narrow widths a row goes on in another line
    // rather than squeezing its controls.
    auto* rows = new WPToolbarFlow(shape);
    rows->setContentsMargins(10, 7, 10, 7);
    rows->setSpacing(6);
    const QFont small = Fonts::system(11);

    // Row 1: styles, font, size, traits, colours, alignment.
    ChromeButton* styles = menuButton(QStringLiteral("Styles"), QString(), QString(), 78);
    for (const QString& name : WPCommands::styleNames())
        styles->menu()->addAction(name, this, [this, name] { m_c->applyStyle(name); });
    rows->addWidget(styles);

    m_family = new WPFixedCombo(180, shape);
    m_family->setToolTip(QStringLiteral("Font"));
    m_family->setFont(small);
    m_family->addItems(WPWindowController::families());
    m_family->setMaxVisibleItems(24);
    connect(m_family, &QComboBox::activated, this, [this](int index) {
        const QString family = m_family->itemText(index);
        m_c->setFamily(family);
        m_c->textView()->setFocus();
    });
    rows->addWidget(m_family);

    m_size = new WPFixedCombo(62, shape);
    m_size->setToolTip(QStringLiteral("Font size"));
    m_size->setFont(small);
    for (qreal s : m_sizes)
        m_size->addItem(sizeText(s), s);
    connect(m_size, &QComboBox::activated, this, [this](int index) {
        m_c->setSize(m_size->itemData(index).toDouble());
        m_c->textView()->setFocus();
    });
    rows->addWidget(m_size);

    m_bold = iconButton(QStringLiteral("bold"), QStringLiteral("Bold (Ctrl+B)"),
                        [this] { m_c->toggleTrait(WPCommands::Trait::Bold); });
    m_italic = iconButton(QStringLiteral("italic"), QStringLiteral("Italic (Ctrl+I)"),
                          [this] { m_c->toggleTrait(WPCommands::Trait::Italic); });
    m_underline = iconButton(QStringLiteral("underline"), QStringLiteral("Underline (Ctrl+U)"),
                             [this] { m_c->toggleUnderline(); });
    m_strike = iconButton(QStringLiteral("strikethrough"), QStringLiteral("Strikethrough"),
                          [this] { m_c->toggleStrike(); });
    rows->beginGroup();
    for (ChromeButton* b : {m_bold, m_italic, m_underline, m_strike})
        rows->addWidget(b);
    rows->endGroup();
    m_color = new WPColorWell(QStringLiteral("Text color"), shape);
    m_highlight = new WPColorWell(QStringLiteral("Highlight color"), shape);
    connect(m_color, &WPColorWell::picked, this, [this](const QColor& c) { m_c->textColorPicked(c); });
    connect(m_highlight, &WPColorWell::picked, this, [this](const QColor& c) { m_c->highlightPicked(c); });
    rows->beginGroup();
    rows->addWidget(m_color);
    rows->addWidget(m_highlight);
    rows->endGroup();
    rows->beginGroup();
    rows->addSeparator(divider(shape));
    const std::pair<const char*, const char*> aligns[] = {{"text.alignleft", "Align left"},
                                                          {"text.aligncenter", "Center"},
                                                          {"text.alignright", "Align right"},
                                                          {"text.justify", "Justify"}};
    const Qt::Alignment values[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
    for (int i = 0; i < 4; ++i) {
        const Qt::Alignment a = values[i];
        ChromeButton* b = iconButton(QString::fromLatin1(aligns[i].first), QString::fromLatin1(aligns[i].second),
                                     [this, a] { m_c->setAlignment(a); });
        m_align.append(b);
        rows->addWidget(b);
    }
    rows->endGroup();
    rows->addRowBreak();

    // Row 2: lists, indents, spacing, table, picture, page, header and
    // footer, find, spelling, autocorrect, print, PDF.
    rows->beginGroup();
    rows->addWidget(iconButton(QStringLiteral("list.bullet"), QStringLiteral("Bulleted list"),
                               [this] { m_c->toggleList(WPText::ListBullet); }));
    rows->addWidget(iconButton(QStringLiteral("list.number"), QStringLiteral("Numbered list"),
                               [this] { m_c->toggleList(WPText::ListNumber); }));
    rows->addWidget(iconButton(QStringLiteral("decrease.indent"), QStringLiteral("Decrease indent"),
                               [this] { m_c->shiftIndent(-36); }));
    rows->addWidget(iconButton(QStringLiteral("increase.indent"), QStringLiteral("Increase indent"),
                               [this] { m_c->shiftIndent(36); }));
    ChromeButton* spacing =
        menuButton(QString(), QStringLiteral("arrow.up.and.down.text.horizontal"), QStringLiteral("Line spacing"), 44);
    const std::pair<const char*, qreal> spacings[] = {{"Single (1.0)", 1.0}, {"1.15", 1.15}, {"1.5", 1.5},
                                                      {"Double (2.0)", 2.0}};
    for (const auto& [title, value] : spacings) {
        const qreal v = value;
        spacing->menu()->addAction(QString::fromLatin1(title), this, [this, v] { m_c->setLineSpacing(v); });
    }
    rows->addWidget(spacing);
    rows->endGroup();
    rows->beginGroup();
    rows->addSeparator(divider(shape));

    ChromeButton* table =
        menuButton(QStringLiteral("Table"), QStringLiteral("tablecells"), QStringLiteral("Insert a table"), 82);
    const std::tuple<QString, int, int> tables[] = {{QStringLiteral("2 \u00D7 2"), 2, 2},
                                                    {QStringLiteral("3 \u00D7 3"), 3, 3},
                                                    {QStringLiteral("4 \u00D7 4"), 4, 4},
                                                    {QStringLiteral("5 rows \u00D7 3 columns"), 5, 3}};
    for (const auto& [title, rows, cols] : tables) {
        const int r = rows, k = cols;
        table->menu()->addAction(title, this, [this, r, k] { m_c->insertTable(r, k); });
    }
    table->menu()->addSeparator();
    table->menu()->addAction(QStringLiteral("Table Options\u2026"), this, [this] { m_c->orderFrontTablePanel(); });
    rows->addWidget(table);
    rows->addWidget(iconButton(QStringLiteral("photo"), QStringLiteral("Insert picture"), [this] { m_c->insertImage(); }));

    ChromeButton* page =
        menuButton(QStringLiteral("Page"), QStringLiteral("doc"), QStringLiteral("Margins and page setup"), 76);
    const std::tuple<QString, qreal, qreal> margins[] = {{QStringLiteral("Normal (1\")"), 72, 72},
                                                         {QStringLiteral("Narrow (0.5\")"), 36, 36},
                                                         {QStringLiteral("Moderate (1\" / 0.75\")"), 72, 54},
                                                         {QStringLiteral("Wide (1\" / 2\")"), 72, 144}};
    for (const auto& [title, tb, lr] : margins) {
        const qreal a = tb, b = lr;
        page->menu()->addAction(title, this, [this, a, b] { m_c->setMargins(a, b); });
    }
    page->menu()->addSeparator();
    // "&&": a single "&" would mark a mnemonic and vanish from the title.
    page->menu()->addAction(QStringLiteral("Page Setup\u2026 (paper && orientation)"), this,
                            [this] { m_c->runPageLayout(); });
    rows->addWidget(page);
    rows->addWidget(iconButton(QStringLiteral("rectangle.topthird.inset.filled"), QStringLiteral("Header & footer"),
                               [this] { m_c->editHeaderFooter(); }));
    rows->endGroup();
    rows->beginGroup();
    rows->addSeparator(divider(shape));
    rows->addWidget(iconButton(QStringLiteral("magnifyingglass"), QStringLiteral("Find (Ctrl+F)"), [this] {
        m_c->textView()->setFocus();
        m_c->showFinder(1);
    }));
    rows->addWidget(iconButton(QStringLiteral("arrow.left.arrow.right.square"),
                               QStringLiteral("Find & Replace (Ctrl+Alt+F)"), [this] {
                                   m_c->textView()->setFocus();
                                   m_c->showFinder(12);
                               }));
    rows->addWidget(iconButton(QStringLiteral("textformat.abc.dottedunderline"),
                               QStringLiteral("Check spelling & grammar now"), [this] {
                                   if (TextChecker* checker = TextChecker::of(m_c->textView()))
                                       checker->showGuessPanel();
                               }));
    m_autocorrect = new ChromeButton(QString(), false, true, shape);
    m_autocorrect->setFont(Fonts::system(11, QFont::DemiBold));
    m_autocorrect->setToolTip(QStringLiteral("Correct spelling automatically while typing"));
    m_autocorrect->setAccessibleName(m_autocorrect->toolTip());
    m_autocorrect->setFocusPolicy(Qt::NoFocus);
    connect(m_autocorrect, &QPushButton::clicked, this, [] { WPWindowController::toggleAutocorrectSetting(); });
    m_buttons.append(m_autocorrect);
    rows->endGroup();
    rows->addWidget(m_autocorrect);
    rows->pushRight();
    rows->beginGroup();
    rows->addWidget(iconButton(QStringLiteral("printer"), QStringLiteral("Print (Ctrl+P)"),
                               [this] { m_c->printDocument(); }));
    rows->addWidget(iconButton(QStringLiteral("doc.richtext"), QStringLiteral("Export as PDF"),
                               [this] { m_c->exportPDF(); }));
    rows->endGroup();

    for (auto signal : {&WPState::fontFamilyChanged, &WPState::fontSizeChanged, &WPState::boldChanged,
                        &WPState::italicChanged, &WPState::underlineChanged, &WPState::strikeChanged,
                        &WPState::colorChanged, &WPState::highlightChanged, &WPState::alignmentChanged,
                        &WPState::autocorrectChanged})
        connect(m_s, signal, this, &WPToolbar::refresh);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    refresh();
}

QString WPToolbar::sizeText(qreal size)
{
    return QString::asprintf("%g", size);
}

ChromeButton* WPToolbar::iconButton(const QString& symbol, const QString& help, std::function<void()> action)
{
    auto* b = new ChromeButton(QString(), false, true, this);
    b->setSymbol(symbol, 13);
    b->setLabelFrame(QSize(20, 18));
    b->setToolTip(help);
    b->setAccessibleName(help);
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QPushButton::clicked, this, std::move(action));
    m_buttons.append(b);
    return b;
}

ChromeButton* WPToolbar::menuButton(const QString& title, const QString& symbol, const QString& help, int width)
{
    auto* b = new ChromeButton(title, false, true, this);
    if (!symbol.isEmpty())
        b->setSymbol(symbol, 12);
    b->setMenu(new QMenu(b));
    b->setMinimumWidth(width);
    b->setFocusPolicy(Qt::NoFocus);
    if (!help.isEmpty()) {
        b->setToolTip(help);
        b->setAccessibleName(help);
    }
    m_buttons.append(b);
    return b;
}

ChromeButton* WPToolbar::button(const QString& help) const
{
    for (ChromeButton* b : m_buttons) {
        if (b->toolTip() == help)
            return b;
    }
    return nullptr;
}

QStringList WPToolbar::familyItems() const
{
    QStringList items;
    for (int i = 0; i < m_family->count(); ++i)
        items.append(m_family->itemText(i));
    return items;
}

QStringList WPToolbar::sizeItems() const
{
    QStringList items;
    for (int i = 0; i < m_size->count(); ++i)
        items.append(m_size->itemText(i));
    return items;
}

QString WPToolbar::shownFamily() const
{
    return m_family->currentText();
}

QString WPToolbar::shownSize() const
{
    return m_size->currentText();
}

void WPToolbar::refresh()
{
    {
        const QSignalBlocker quiet(m_family);
        const QString family = m_s->fontFamily();
        if (m_extraFamily) {
            m_family->removeItem(0);
            m_extraFamily = false;
        }
        int index = m_family->findText(family, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index < 0) {
            m_family->insertItem(0, family);
            m_extraFamily = true;
            index = 0;
        }
        m_family->setCurrentIndex(index);
    }
    {
        const QSignalBlocker quiet(m_size);
        const qreal size = m_s->fontSize();
        if (m_extraSize) {
            m_size->removeItem(0);
            m_extraSize = false;
        }
        int index = int(m_sizes.indexOf(size));
        if (index < 0) {
            m_size->insertItem(0, sizeText(size), size);
            m_extraSize = true;
            index = 0;
        } else if (m_extraSize) {
            index += 1;
        }
        m_size->setCurrentIndex(index);
    }
    m_bold->setProminent(m_s->bold());
    m_italic->setProminent(m_s->italic());
    m_underline->setProminent(m_s->underline());
    m_strike->setProminent(m_s->strike());
    const int a = m_s->alignment();
    m_align[0]->setProminent(a == 0 || a == Qt::AlignLeft);
    m_align[1]->setProminent(a == Qt::AlignHCenter);
    m_align[2]->setProminent(a == Qt::AlignRight);
    m_align[3]->setProminent(a == Qt::AlignJustify);
    m_color->setColor(m_s->color());
    m_highlight->setColor(m_s->highlight());
    m_autocorrect->setText(m_s->autocorrect() ? QStringLiteral("Autocorrect On") : QStringLiteral("Autocorrect Off"));
    m_autocorrect->setProminent(m_s->autocorrect());
}

// --- colour well -------------------------------------------------------------

WPColorWell::WPColorWell(const QString& help, QWidget* parent) : QWidget(parent)
{
    setFixedSize(34, 22);
    setToolTip(help);
    setAccessibleName(help);
    setCursor(Qt::PointingHandCursor);
}

void WPColorWell::setColor(const QColor& color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void WPColorWell::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outer = QRectF(rect()).adjusted(1, 1, -1, -1);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(outer, 5, 5);
    const QRectF swatch = outer.adjusted(4, 4, -4, -4);
    // A clear colour shows as a white swatch with a red slash.
    p.setPen(Qt::NoPen);
    p.setBrush(m_color);
    p.drawRoundedRect(swatch, 3, 3);
    if (m_color.alphaF() < 0.05f) {
        p.setPen(QPen(QColor(200, 30, 40), 1.5));
        p.drawLine(swatch.bottomLeft(), swatch.topRight());
    }
}

void WPColorWell::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()))
        return;
    const QColor chosen = QColorDialog::getColor(m_color.alphaF() < 0.05f ? QColor(Qt::yellow) : m_color, window(),
                                                 toolTip(), QColorDialog::ShowAlphaChannel);
    if (chosen.isValid())
        Q_EMIT picked(chosen);
}
