#include "calc/views/ScientificView.h"

#include "calc/ScientificModel.h"
#include "calc/views/CalcLook.h"
#include "calc/views/DisplayPanel.h"
#include "calc/views/FitLabel.h"
#include "calc/views/HistoryList.h"
#include "calc/views/ScientificKeyGrid.h"
#include "ui/SegmentedPicker.h"
#include "ui/Chrome.h"
#include "ui/ChromeButton.h"
#include "ui/ChromeKey.h"
#include "ui/ChromePanel.h"
#include "ui/Fonts.h"
#include "ui/WrapLabel.h"
#include "ui/FieldSpelling.h"
#include "ui/SpellLineEdit.h"

#include <QClipboard>
#include <QEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

QLabel* badge(const QString& text, Fonts::Design design, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setFont(Fonts::system(11, QFont::ExtraBold, design));
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, CalcLook::orange());
    l->setPalette(p);
    return l;
}

const QString kMinus = QStringLiteral("−");

} // namespace

const QList<QList<ScientificView::FnKey>>& ScientificView::fnRows()
{
    static const QList<QList<FnKey>> rows{
        {{QStringLiteral("sin"), QStringLiteral("sin(")},
         {QStringLiteral("cos"), QStringLiteral("cos(")},
         {QStringLiteral("tan"), QStringLiteral("tan(")},
         {QStringLiteral("π"), QStringLiteral("π")},
         {QStringLiteral("e"), QStringLiteral("e")}},
        {{QStringLiteral("sin⁻¹"), QStringLiteral("asin(")},
         {QStringLiteral("cos⁻¹"), QStringLiteral("acos(")},
         {QStringLiteral("tan⁻¹"), QStringLiteral("atan(")},
         {QStringLiteral("x²"), QStringLiteral("^2")},
         {QStringLiteral("xʸ"), QStringLiteral("^")}},
        {{QStringLiteral("sinh"), QStringLiteral("sinh(")},
         {QStringLiteral("cosh"), QStringLiteral("cosh(")},
         {QStringLiteral("tanh"), QStringLiteral("tanh(")},
         {QStringLiteral("√"), QStringLiteral("sqrt(")},
         {QStringLiteral("ʸ√x"), QStringLiteral("root(")}},
        {{QStringLiteral("ln"), QStringLiteral("ln(")},
         {QStringLiteral("log"), QStringLiteral("log(")},
         {QStringLiteral("log₂"), QStringLiteral("log2(")},
         {QStringLiteral("eˣ"), QStringLiteral("exp(")},
         {QStringLiteral("10ˣ"), QStringLiteral("10^")}},
        {{QStringLiteral("n!"), QStringLiteral("!")},
         {QStringLiteral("1/x"), QStringLiteral("1/(")},
         {QStringLiteral("|x|"), QStringLiteral("abs(")},
         {QStringLiteral("nCr"), QStringLiteral("ncr(")},
         {QStringLiteral("nPr"), QStringLiteral("npr(")}},
        {{QStringLiteral("("), QStringLiteral("(")},
         {QStringLiteral(")"), QStringLiteral(")")},
         {QStringLiteral(","), QStringLiteral(",")},
         {QStringLiteral("%"), QStringLiteral("%")},
         {QStringLiteral("Ans"), QStringLiteral("ans")}},
    };
    return rows;
}

const QStringList& ScientificView::numTopRow()
{
    static const QStringList row{QStringLiteral("C"), QStringLiteral("⌫")};
    return row;
}

const QList<QStringList>& ScientificView::numRows()
{
    static const QList<QStringList> rows{
        {QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("÷")},
        {QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("×")},
        {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), kMinus},
        {QStringLiteral("0"), QStringLiteral("."), QStringLiteral("EE"), QStringLiteral("+")},
    };
    return rows;
}

QString ScientificView::numInsert(const QString& label)
{
    if (label == kMinus)
        return QStringLiteral("-");
    if (label == QLatin1String("EE"))
        return QStringLiteral("e");
    return label;
}

std::optional<QColor> ScientificView::numTint(const QString& label)
{
    if (label == QLatin1String("C"))
        return Chrome::cherry();
    if (label == QLatin1String("=") || label == u"÷" || label == u"×"
        || label == kMinus || label == QLatin1String("+"))
        return Chrome::turquoiseDeep();
    return std::nullopt;
}

QColor ScientificView::fnTint()
{
    return Chrome::toColor(Tool(Tool::scientific).tint());
}

ScientificView::ScientificView(QWidget* parent)
    : QWidget(parent)
    , m_model(new ScientificModel(this))
{
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->setSpacing(12);

    auto* calculator = new QWidget(this);
    // Keys shrink with the window down to what the rows above them need;
    // below that the window's content scrolls.
    auto* column = new QVBoxLayout(calculator);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);
    column->addWidget(buildDisplay());
    column->addLayout(buildModeRow());
    column->addLayout(buildKeypads(), 1);
    outer->addWidget(calculator, 1);
    outer->addWidget(buildHistory());

    // Return evaluates anywhere in the window; inside the field its own
    // Return does the same.
    for (const QKeySequence& seq : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto* sc = new QShortcut(seq, this);
        sc->setContext(Qt::WindowShortcut);
        connect(sc, &QShortcut::activated, m_model, &ScientificModel::evaluate);
    }

    connect(m_model, &ScientificModel::expressionChanged, this, [this] {
        if (m_field->text() != m_model->expression())
            m_field->setText(m_model->expression());
    });
    connect(m_model, &ScientificModel::errorChanged, this, &ScientificView::refreshResult);
    connect(m_model, &ScientificModel::resultChanged, this, &ScientificView::refreshResult);
    connect(m_model, &ScientificModel::previewChanged, this, &ScientificView::refreshResult);
    connect(m_model, &ScientificModel::modeChanged, this, &ScientificView::refreshStatus);
    connect(m_model, &ScientificModel::memoryChanged, this, &ScientificView::refreshStatus);
    connect(m_model, &ScientificModel::historyChanged, this, &ScientificView::refreshHistory);
    refreshResult();
    refreshStatus();
    refreshHistory();
}

QWidget* ScientificView::buildDisplay()
{
    auto* panel = new DisplayPanel(this);
    auto* lines = new QVBoxLayout(panel);
    lines->setContentsMargins(12, 12, 12, 12);
    lines->setSpacing(4);

    m_field = new SpellLineEdit(panel);
    FieldSpelling::exclude(m_field); // numbers, not words
    m_field->setObjectName(QStringLiteral("expression"));
    m_field->setPlaceholderText(QStringLiteral("Type an expression, e.g. 2sin(30)+√16"));
    m_field->setFont(expressionFont());
    // The height of the display size whatever the placeholder's size.
    m_field->setFixedHeight(m_field->sizeHint().height());
    m_field->installEventFilter(this);
    connect(m_field, &QLineEdit::textChanged, this, &ScientificView::fitPlaceholder);
    m_field->setFrame(false);
    m_field->setAccessibleName(QStringLiteral("Expression"));
    QPalette fp = m_field->palette();
    fp.setColor(QPalette::Base, Qt::transparent);
    fp.setColor(QPalette::Text, CalcLook::displayText());
    fp.setColor(QPalette::PlaceholderText, CalcLook::secondaryOnDisplay());
    m_field->setPalette(fp);
    m_field->setAttribute(Qt::WA_MacShowFocusRect, false);
    connect(m_field, &QLineEdit::textEdited, m_model, &ScientificModel::setExpression);
    connect(m_field, &QLineEdit::returnPressed, m_model, &ScientificModel::evaluate);
    lines->addWidget(m_field);

    auto* status = new QHBoxLayout;
    status->setSpacing(8);
    m_modeBadge = badge(QStringLiteral("DEG"), Fonts::Design::Rounded, panel);
    m_memoryBadge = badge(QStringLiteral("M"), Fonts::Design::Default, panel);
    m_memoryBadge->setAccessibleName(QStringLiteral("Memory"));
    status->addWidget(m_modeBadge, 0, Qt::AlignVCenter);
    status->addWidget(m_memoryBadge, 0, Qt::AlignVCenter);
    status->addStretch(1);
    m_result = new FitLabel(panel);
    m_result->setObjectName(QStringLiteral("result"));
    m_result->setMinimumScale(0.4);
    m_result->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_result->setCopyable(true);
    m_result->setMinimumHeight(QFontMetrics(Fonts::system(30, QFont::DemiBold, Fonts::Design::Rounded)).height());
    status->addWidget(m_result, 100);
    lines->addLayout(status);
    return panel;
}

QLayout* ScientificView::buildModeRow()
{
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    m_picker = new SegmentedPicker({QStringLiteral("Degrees"), QStringLiteral("Radians")}, this);
    m_picker->setFixedWidth(190);
    connect(m_picker, &SegmentedPicker::activated, m_model, [this](int index) {
        m_model->setMode(index == 1 ? AngleMode::radians : AngleMode::degrees);
    });
    row->addWidget(m_picker);
    row->addStretch(1);

    auto button = [this, row](const QString& title, auto action) {
        auto* b = new ChromeButton(title, false, true, this);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::clicked, this, action);
        m_controls.insert(title, b);
        row->addWidget(b);
    };
    button(QStringLiteral("MC"), [this] { m_model->memoryClear(); });
    button(QStringLiteral("M+"), [this] { m_model->memoryAdd(); });
    button(QStringLiteral("MR"), [this] { m_model->memoryRecall(); });
    button(QStringLiteral("Copy"), [this] { copyResult(); });
    return row;
}

ChromeKey* ScientificView::addKey(const QString& label, std::optional<QColor> tint, QWidget* parent,
                                  std::optional<QFont> face, qreal size)
{
    auto* k = new ChromeKey(label, tint, parent);
    k->setLabelFont(face ? *face : CalcLook::keyFace({label}), size);
    k->setFocusPolicy(Qt::NoFocus);
    k->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    k->setMinimumSize(24, 24);
    m_controls.insert(label, k);
    return k;
}

QLayout* ScientificView::buildKeypads()
{
    // Both pads in one grid, so that their keys are equally wide (five
    // columns of functions, four of numbers) and every key of a span has
    // the same size to the pixel.
    const int fnColumns = int(fnRows().constFirst().size());
    const int numColumns = int(numRows().constFirst().size());
    auto* pads = new ScientificKeyGrid(int(fnRows().size()), fnColumns + numColumns, fnColumns - 1);
    pads->setGaps(6, 10);

    for (int r = 0; r < fnRows().size(); ++r) {
        const QList<FnKey>& row = fnRows().at(r);
        for (int c = 0; c < row.size(); ++c) {
            const FnKey& key = row.at(c);
            ChromeKey* k = addKey(key.label, fnTint(), this, fnFace(), m_fnLabelSize);
            m_fnKeys.append(k);
            const QString insert = key.insert;
            connect(k, &QPushButton::clicked, m_model, [this, insert] { m_model->insert(insert); });
            pads->addKey(k, r, c);
        }
    }
    for (ChromeKey* k : std::as_const(m_fnKeys))
        k->installEventFilter(this);

    ChromeKey* clear = addKey(QStringLiteral("C"), numTint(QStringLiteral("C")), this);
    connect(clear, &QPushButton::clicked, m_model, &ScientificModel::clear);
    ChromeKey* back = addKey(QStringLiteral("⌫"), std::nullopt, this);
    back->setAccessibleName(QStringLiteral("backspace"));
    connect(back, &QPushButton::clicked, m_model, &ScientificModel::backspace);
    pads->addKey(clear, 0, fnColumns, numColumns / 2);
    pads->addKey(back, 0, fnColumns + numColumns / 2, numColumns - numColumns / 2);
    for (int r = 0; r < numRows().size(); ++r) {
        const QStringList& row = numRows().at(r);
        for (int c = 0; c < row.size(); ++c) {
            const QString& label = row.at(c);
            ChromeKey* k = addKey(label, numTint(label), this);
            const QString insert = numInsert(label);
            connect(k, &QPushButton::clicked, m_model, [this, insert] { m_model->insert(insert); });
            pads->addKey(k, r + 1, fnColumns + c);
        }
    }
    ChromeKey* equals = addKey(QStringLiteral("="), numTint(QStringLiteral("=")), this);
    equals->setAccessibleName(QStringLiteral("equals"));
    connect(equals, &QPushButton::clicked, m_model, &ScientificModel::evaluate);
    pads->addKey(equals, int(numRows().size()) + 1, fnColumns, numColumns);
    return pads;
}

QWidget* ScientificView::buildHistory()
{
    auto* panel = new ChromePanel(this);
    panel->setTitle(QStringLiteral("History"));
    panel->setFixedWidth(200);
    QVBoxLayout* content = panel->contentLayout();

    m_hint = new WrapLabel(QStringLiteral("Your calculations appear here. Click one to reuse it."), panel);
    m_hint->setFont(Fonts::style(Fonts::TextStyle::Caption));
    QPalette hp = m_hint->palette();
    hp.setColor(QPalette::WindowText, CalcLook::secondary());
    m_hint->setPalette(hp);
    content->addWidget(m_hint);

    m_history = new HistoryList(panel);
    connect(m_history, &HistoryList::entryClicked, m_model, &ScientificModel::useHistoryEntry);
    connect(m_history, &HistoryList::insertResultRequested, m_model, &ScientificModel::insertResult);
    connect(m_history, &HistoryList::copyResultRequested, this,
            [this](const HistoryItem& item) { copyText(item.result); });
    content->addWidget(m_history, 1);

    auto* clear = new ChromeButton(QStringLiteral("Clear History"), false, true, panel);
    clear->setFocusPolicy(Qt::NoFocus);
    connect(clear, &QPushButton::clicked, m_model, &ScientificModel::clearHistory);
    m_controls.insert(QStringLiteral("Clear History"), clear);
    content->addWidget(clear, 0, Qt::AlignLeft);
    return panel;
}

bool ScientificView::showsError() const
{
    return m_model->error().has_value();
}

QString ScientificView::resultLineText() const
{
    if (const std::optional<QString>& error = m_model->error())
        return *error;
    const QString preview = m_model->preview();
    if (!preview.isEmpty())
        return QStringLiteral("= ") + preview;
    return m_model->result();
}

void ScientificView::refreshResult()
{
    const bool error = showsError();
    m_result->setBaseFont(Fonts::system(error ? 14 : 30, QFont::DemiBold, Fonts::Design::Rounded));
    QPalette p = m_result->palette();
    p.setColor(QPalette::WindowText, error ? CalcLook::errorText() : CalcLook::displayText());
    m_result->setPalette(p);
    const QString text = resultLineText();
    m_result->setFittedText(text);
    m_result->setAccessibleName(QStringLiteral("Result ") + text);
}

void ScientificView::refreshStatus()
{
    const bool radians = m_model->mode() == AngleMode::radians;
    m_modeBadge->setText(radians ? QStringLiteral("RAD") : QStringLiteral("DEG"));
    m_memoryBadge->setVisible(m_model->memory() != 0);
    m_picker->setCurrentIndex(radians ? 1 : 0);
}

void ScientificView::refreshHistory()
{
    m_history->setItems(m_model->history());
    m_hint->setVisible(m_model->history().isEmpty());
}

void ScientificView::copyText(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

void ScientificView::copyResult()
{
    copyText(m_model->result());
}

QFont ScientificView::fnFace()
{
    // Which face covers every label does not change while the program
    // runs: it is looked up once (it costs a face of its own to load).
    static const QFont face = [] {
        QStringList labels;
        for (const QList<FnKey>& row : fnRows()) {
            for (const FnKey& key : row)
                labels.append(key.label);
        }
        return CalcLook::keyFace(labels);
    }();
    return face;
}

void ScientificView::fitFnLabels()
{
    if (m_fnKeys.isEmpty())
        return;
    // The label room of the narrowest key: its width less the shadow and
    // inner padding.
    int narrowest = m_fnKeys.constFirst()->width();
    for (const ChromeKey* k : std::as_const(m_fnKeys))
        narrowest = std::min(narrowest, k->width());
    const qreal room = narrowest - 10 - 0.5;
    const QFont face = fnFace();
    if (m_fnWidest < 0) {
        // Measured in the face at the size the digit keys show (already
        // loaded) and scaled to the pad size: widths go with the size, and
        // each key fits its label exactly at the size chosen.
        const QFontMetricsF fm(face);
        const qreal toPad = CalcLook::padLabelSize / ChromeKey::labelSize;
        m_fnWidest = 0;
        for (const ChromeKey* k : std::as_const(m_fnKeys))
            m_fnWidest = std::max(m_fnWidest, fm.horizontalAdvance(k->text()) * toPad);
    }
    const qreal scale = m_fnWidest > room && m_fnWidest > 0 ? room / m_fnWidest : 1.0;
    const qreal size = CalcLook::padLabelSize * std::max(scale, ChromeKey::minimumScale);
    if (qFuzzyCompare(size, m_fnLabelSize))
        return;
    m_fnLabelSize = size;
    for (ChromeKey* k : std::as_const(m_fnKeys))
        k->setLabelFont(face, size);
}

QFont ScientificView::expressionFont()
{
    QFont f = Fonts::system(17, QFont::Normal, Fonts::Design::Monospaced);
    // The monospaced face alone, without the listed stand-in: other faces
    // are looked for when a character it lacks is typed, not each time the
    // window opens (the example placeholder is all its own).
    f.setFamilies({f.families().constFirst()});
    return f;
}

void ScientificView::fitPlaceholder()
{
    QFont font = expressionFont();
    if (m_field->text().isEmpty()) {
        // The line edit keeps 2 pixels each side of its text and one for the
        // caret.
        const QMargins margins = m_field->textMargins();
        const qreal room = m_field->contentsRect().width() - margins.left() - margins.right() - 5;
        const QString text = m_field->placeholderText();
        if (m_placeholderFit.room != room || m_placeholderFit.text != text)
            m_placeholderFit = {room, text, placeholderPixels(font, text, room)};
        if (m_placeholderFit.pixels > 0)
            font.setPixelSize(m_placeholderFit.pixels);
    }
    if (m_field->font() != font)
        m_field->setFont(font);
}

int ScientificView::placeholderPixels(const QFont& font, const QString& text, qreal room)
{
    // The largest whole pixel size below the font's own at which the text
    // fits, at least 8; 0 keeps the font as it is.
    const qreal natural = QFontMetricsF(font).horizontalAdvance(text);
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    const int largest = pixels - 1;
    if (natural <= room || largest < 8)
        return 0;
    auto fits = [&](int size) {
        QFont f = font;
        f.setPixelSize(size);
        return QFontMetricsF(f).horizontalAdvance(text) <= room;
    };
    // Widths go with the size: the proportion is the first guess, then a
    // size up or down from there as measured (glyph advances are rounded).
    int size = std::clamp(int(std::floor(pixels * room / natural)), 8, largest);
    if (fits(size)) {
        while (size < largest && fits(size + 1))
            ++size;
    } else {
        // Nothing smaller than 8: that is taken whether it fits or not.
        while (size > 8) {
            --size;
            if (size == 8 || fits(size))
                break;
        }
    }
    return size;
}

bool ScientificView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_field && event->type() == QEvent::Resize)
        fitPlaceholder();
    // Once the layout has given every key its width.
    if (event->type() == QEvent::Resize && !m_fitPending && m_fnKeys.contains(qobject_cast<ChromeKey*>(watched))) {
        m_fitPending = true;
        QMetaObject::invokeMethod(this, [this] {
            m_fitPending = false;
            fitFnLabels();
        }, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}
