// SPDX-License-Identifier: GPL-3.0-or-later
// The Environment Options dialog: editor options, display and colour schemes, with a coloured preview.
#include "editor/Envi.h"

#include "editctl/LineStyles.h"
#include "editctl/PicLexer.h"
#include "editor/AllReg.h"
#include "platform/Colors.h"
#include "platform/Cursor.h"
#include "platform/Prompter.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <vector>

const std::array<TGridColor, 16> kGridColors = {{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
}};

namespace {

// Standard colour names beyond the grid's 16: a colour with one of these names has no grid index.
constexpr TGridColor kOtherNamedColors[] = {
    {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6}, {"clCream", 0xF0FBFF}, {"clMedGray", 0xA4A0A0}};

enum class OptionObject { Source, Env };

struct OptionBox {
    QCheckBox* TEnviDlg::*box;
    const char* component;
    const char* caption;
    OptionObject object;
    uint32_t bit;
};

// The Editor page's check boxes, in their order, with the option bit each stands for.
const OptionBox kOptionBoxes[] = {
    {&TEnviDlg::EOAutoIndent, "EOAutoIndent", "Auto indent mode", OptionObject::Source, soAutoIndent},
    {&TEnviDlg::EOSmartTab, "EOSmartTab", "Smart tab", OptionObject::Source, soSmartTab},
    {&TEnviDlg::EOBackspace, "EOBackspace", "Backspace unindents", OptionObject::Source, soBackUnindents},
    {&TEnviDlg::EOShowLine, "EOShowLine", "Show line numbers", OptionObject::Env, moLineNumbers},
    {&TEnviDlg::EOGroupUndo, "EOGroupUndo", "Group undo", OptionObject::Source, soGroupUndo},
    {&TEnviDlg::EOBeyond, "EOBeyond", "Cursor beyond EOF", OptionObject::Source, soBeyondFileEnd},
    {&TEnviDlg::EOPersistent, "EOPersistent", "Persistent blocks", OptionObject::Source, soPersistentBlocks},
    {&TEnviDlg::EOOverwrite, "EOOverwrite", "Overwrite blocks", OptionObject::Source, soOverwriteBlocks},
    {&TEnviDlg::EODoubleClick, "EODoubleClick", "Double click line", OptionObject::Env, moDblClickLine},
    {&TEnviDlg::EOFindText, "EOFindText", "Find text at cursor", OptionObject::Source, soFindTextAtCursor},
    {&TEnviDlg::EOForce, "EOForce", "Force cut and copy enabled", OptionObject::Source, soForceCutCopy},
};

struct FontSizes {
    const char* name;
    std::vector<int> sizes;
};

// The editor fonts and the sizes offered for each; the first size is chosen when the font changes.
const FontSizes kFonts[] = {
    {"Fixedsys", {9}},
    {"Courier", {10, 12}},
    {"Lucida Console", {8, 9, 10, 11}},
    {"Courier New", {8, 9, 10, 11, 12}},
    {"Letter Gothic MT", {8, 9, 10}},
    {"Letter Gothic", {8, 9, 10, 11, 12}},
};
constexpr int kFontCount = int(std::size(kFonts));

const char* const kPenStyles[] = {"Solid", "Dash", "Dot", "Dash Dot", "Dash Dot Dot", "Clear"};

enum class ElementKind { Text, Line };

struct ElementEntry {
    const char* entry;
    const char* element;
    ElementKind kind;
};

// The entries of CElement and the preview's colour element each one edits.
constexpr ElementEntry kElementEntries[] = {
    {"Whitespace", "Whitespace", ElementKind::Text},
    {"String", "String", ElementKind::Text},
    {"Comment", "Comment", ElementKind::Text},
    {"Identifier", "Identifier", ElementKind::Text},
    {"Integer", "Integer", ElementKind::Text},
    {"Delimeters", "Delimeters", ElementKind::Text},
    {"Mnemonic/Reserved words", "Reserved words", ElementKind::Text},
    {"Pseudo ResWords", "Pseudo ResWords", ElementKind::Text},
    {"Preprocessor", "Defines", ElementKind::Text},
    {"Bookmark", "Bookmark", ElementKind::Line},
    {"Execution point", "Execution point", ElementKind::Line},
    {"Breakpoint", "BreakPoint", ElementKind::Line},
    {"Counter", "Counter", ElementKind::Line},
    {"Error line", "Error Line", ElementKind::Line},
};

// The preview's text; lines 9 to 13 carry the five line styles.
const char* const kPreviewLines[] = {
    "include \"serial.asm\" ;preprocessor",
    "    org 0x30",
    "Buffer RES H'E' + D'4' + B'1'",
    "",
    "    org 0x00",
    "msg da \"this is a string\"",
    "  nop",
    "  incf counter",
    "  movlw H'55' ;execution point",
    "  setz ;breakpoint",
    "  movlw 45 ;counter",
    "  ;bookmark",
    "  n5op ;error line",
};
constexpr LineStyle kPreviewLineStyles[] = {LineStyle::ExecutionPoint, LineStyle::BreakPoint,
                                            LineStyle::Counter, LineStyle::Bookmark, LineStyle::ErrorLine};
constexpr int kFirstStyledPreviewLine = 8;

// The three colour schemes, in the order of every table below.
constexpr std::string_view kSchemes[] = {"Default", "Classic", "Twilight"};
using PerScheme = std::array<uint32_t, 3>;

int SchemeIndex(std::string_view name) {
    for (int i = 0; i < 3; ++i)
        if (kSchemes[i] == name)
            return i;
    return -1;
}

// An editor window's colours in each scheme: background, text, line numbers.
constexpr std::array<uint32_t, 3> kEditorColours[] = {
    {0xFFFFFF, 0x000000, 0x000000}, {0x800000, 0x00FFFF, 0x00FFFF}, {0x000000, 0xFFFFFF, 0xFFFFFF}};

struct SchemeElement {
    const char* element;
    uint32_t style;
    PerScheme background;
    PerScheme foreground;
};

constexpr uint32_t kItalic = Bit(fsItalic);
constexpr uint32_t kBold = Bit(fsBold);
constexpr PerScheme kSchemeBackground = {0xFFFFFF, 0x800000, 0x000000};
constexpr PerScheme kMarkedBlockBackground = {0x800000, 0xC0C0C0, 0xFFFFFF};
constexpr PerScheme kMarkedBlockForeground = {0xFFFFFF, 0x800000, 0x000000};
constexpr PerScheme kSearchMatchBackground = {0x000000, 0x00FFFF, 0x00FFFF};
constexpr PerScheme kSearchMatchForeground = {0x00FF00, 0x000000, 0x000000};

// What choosing a scheme gives the preview's elements.
constexpr SchemeElement kSchemeElements[] = {
    {"Whitespace", 0, kSchemeBackground, {0x000000, 0x00FFFF, 0xFFFFFF}},
    {"String", 0, kSchemeBackground, {0xFF0000, 0xC0C0C0, 0x00FFFF}},
    {"Comment", kItalic, kSchemeBackground, {0x000000, 0xC0C0C0, 0xC0C0C0}},
    {"Identifier", 0, kSchemeBackground, {0x000000, 0x00FFFF, 0xFFFFFF}},
    {"Integer", 0, kSchemeBackground, {0x0000FF, 0xFFFF00, 0x00FF00}},
    {"Reserved words", kBold, kSchemeBackground, {0x000000, 0xFFFFFF, 0xFFFF00}},
    {"Delimeters", 0, kSchemeBackground, {0x000000, 0x00FFFF, 0xFFFFFF}},
    {"Defines", 0, kSchemeBackground, {0xFF00FF, 0x00FF00, 0xFF00FF}},
    {"Pseudo ResWords", kBold, kSchemeBackground, {0x008000, 0xFF00FF, 0x0000FF}},
    {"Execution point", 0, {0x800000, 0xFFFF00, 0xFF0000}, {0xFFFFFF, 0x000000, 0xFFFFFF}},
    {"BreakPoint", 0, {0x0000FF, 0x0000FF, 0x0000FF}, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
    {"Error Line", 0, {0x000080, 0xFF0000, 0xFFFF00}, {0xFFFFFF, 0xFFFFFF, 0x000000}},
    {"Counter", 0, {0xFF00FF, 0xFF00FF, 0xFF00FF}, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
    {"Bookmark", 0, {0xC0C0C0, 0xC0C0C0, 0xC0C0C0}, {0x000000, 0x000000, 0x000000}},
    {"Marked Block", 0, kMarkedBlockBackground, kMarkedBlockForeground},
    {"Search Match", 0, kSearchMatchBackground, kSearchMatchForeground},
};

// What OK gives, by the scheme, the elements the dialog does not show.
constexpr SchemeElement kHiddenElements[] = {
    {"Float", 0, kSchemeBackground, {0x000000, 0x00FFFF, 0xFFFFFF}},
    {"Assembler", 0, kSchemeBackground, {0x000000, 0x00FFFF, 0xFFFFFF}},
    {"Html tags", 0, kSchemeBackground, {0x000000, 0x00FFFF, 0xFFFFFF}},
    {"Html params", 0, kSchemeBackground, {0x000000, 0x00FFFF, 0xFFFFFF}},
    {"Url", 0, kSchemeBackground, {0x000000, 0x00FFFF, 0xFFFFFF}},
    {"Marked Block", 0, kMarkedBlockBackground, kMarkedBlockForeground},
    {"Search Match", 0, kSearchMatchBackground, kSearchMatchForeground},
};

// Elements whose font style OK empties: the line elements and those the dialog does not show.
constexpr const char* kPlainElements[] = {"BreakPoint",  "Error Line", "Execution point", "Counter",
                                          "Bookmark",    "Float",      "Assembler",       "Html tags",
                                          "Html params", "Url",        "Marked Block",    "Search Match"};
// Elements the preview takes from the global ones with background and foreground only.
constexpr const char* kColourOnlyElements[] = {"Execution point", "BreakPoint",   "Counter",     "Bookmark",
                                               "Error Line",      "Marked Block", "Search Match"};

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

const FontSizes* SizesOf(const QString& font) {
    for (const FontSizes& entry : kFonts)
        if (font == entry.name)
            return &entry;
    return nullptr;
}

// CElement as the editor window's message list: white bold Arial on black, a lime frame on the selected
// entry, no focus rectangle.
class ElementDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        painter->fillRect(option.rect, Qt::black);
        QFont font("Arial");
        font.setPixelSize(11);
        font.setBold(true);
        painter->setFont(font);
        painter->setPen(Qt::white);
        painter->drawText(option.rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          index.data().toString());
        if (option.state & QStyle::State_Selected) {
            painter->setPen(QColor(0x00, 0xFF, 0x00));
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), 14};
    }
};

QIcon Swatch(uint32_t color) {
    QPixmap pixmap(14, 10);
    pixmap.fill(ToQColor(color));
    QPainter(&pixmap).drawRect(0, 0, 13, 9);
    return QIcon(pixmap);
}

}  // namespace

std::string ColorToString(uint32_t color) {
    for (const TGridColor& named : kGridColors)
        if (named.Value == color)
            return std::string(named.Name);
    for (const TGridColor& named : kOtherNamedColors)
        if (named.Value == color)
            return std::string(named.Name);
    char hex[16];
    std::snprintf(hex, sizeof hex, "$%08X", unsigned(color));
    return hex;
}

int GridIndexOf(uint32_t color) {
    std::string name = ColorToString(color);
    for (int i = 0; i < int(kGridColors.size()); ++i)
        if (kGridColors[size_t(i)].Name == name)
            return i;
    return -1;
}

// ---- the colour grid ----

TColorGrid::TColorGrid(QWidget* parent) : QWidget(parent) {
    setObjectName("ElementGrid");
    setFixedSize(sizeHint());
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void TColorGrid::setIndexes(int foreground, int background) {
    foreground_ = foreground;
    background_ = background;
    update();
}

QRect TColorGrid::cellRect(int index) const {
    int w = width() / 4, h = height() / 4;
    return {(index % 4) * w, (index / 4) * h, w, h};
}

void TColorGrid::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (int i = 0; i < 16; ++i) {
        QRect cell = cellRect(i);
        QColor colour = ToQColor(kGridColors[size_t(i)].Value);
        painter.fillRect(cell, colour);
        painter.setPen(Qt::gray);
        painter.drawRect(cell.adjusted(0, 0, -1, -1));
        QString mark = i == foreground_ && i == background_ ? "FB"
                       : i == foreground_                   ? "FG"
                       : i == background_                   ? "BG"
                                                            : "";
        if (mark.isEmpty())
            continue;
        painter.setPen(colour.lightness() > 128 ? Qt::black : Qt::white);
        painter.drawText(cell, Qt::AlignCenter, mark);
    }
}

void TColorGrid::mousePressEvent(QMouseEvent* event) {
    int index = -1;
    for (int i = 0; i < 16 && index < 0; ++i)
        if (cellRect(i).contains(event->position().toPoint()))
            index = i;
    if (index < 0)
        return;
    if (event->button() == Qt::LeftButton)
        foreground_ = index;
    else if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton)
        background_ = index;
    else
        return;
    update();
    emit changed();
}

// ---- the dialog ----

TEnviDlg::TEnviDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("EnviDlg");
    setWindowTitle("Environment Options");
    PageControl = new QTabWidget(this);
    PageControl->setObjectName("PageControl");
    auto* preferences = new QWidget;
    preferences->setObjectName("TSPreferences");
    PageControl->addTab(preferences, "Preferences");
    PageControl->addTab(buildEditorPage(), "Editor");
    PageControl->addTab(buildDisplayPage(), "Display");
    PageControl->addTab(buildColorsPage(), "Colors");

    OKBtn = new QPushButton("OK");
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton("Cancel");
    CancelBtn->setObjectName("CancelBtn");
    connect(OKBtn, &QPushButton::clicked, this, &TEnviDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
    // the same place every time, not wherever the window active at the moment would put it
    move(QGuiApplication::primaryScreen()->geometry().center() - rect().center());
}

QWidget* TEnviDlg::buildEditorPage() {
    auto* page = new QWidget;
    page->setObjectName("TSEditor");
    auto* group = new QGroupBox("Editor options:");
    auto* boxes = new QGridLayout(group);
    int row = 0;
    for (const OptionBox& option : kOptionBoxes) {
        auto* box = new QCheckBox(option.caption);
        box->setObjectName(option.component);
        this->*option.box = box;
        boxes->addWidget(box, row % 6, row / 6);
        ++row;
    }
    ETab = new QLineEdit;
    ETab->setObjectName("ETab");
    EIndent = new QLineEdit;
    EIndent->setObjectName("EIndent");
    // only digits and backspace reach the field; pasted text with anything else is refused as well
    EIndent->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), EIndent));
    auto* fields = new QFormLayout;
    fields->addRow("Tab stops:", ETab);
    fields->addRow("Block indent:", EIndent);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addLayout(fields);
    layout->addStretch();
    return page;
}

QWidget* TEnviDlg::buildDisplayPage() {
    auto* page = new QWidget;
    page->setObjectName("TSDisplay");
    auto* margin = new QGroupBox("Editor Margin");
    EMVisible = new QCheckBox("Visible Right Margin");
    EMVisible->setObjectName("EMVisible");
    EMColor = new QComboBox;
    EMColor->setObjectName("EMColor");
    for (const TGridColor& colour : kGridColors)
        EMColor->addItem(Swatch(colour.Value), Text(colour.Name.substr(2)), colour.Value);
    EMStyle = new QComboBox;
    EMStyle->setObjectName("EMStyle");
    for (uint32_t style = psSolid; style <= psClear; ++style)
        EMStyle->addItem(kPenStyles[style], style);
    EMPos = new QLineEdit;
    EMPos->setObjectName("EMPos");
    EMPos->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), EMPos));
    auto* marginFields = new QFormLayout(margin);
    marginFields->addRow(EMVisible);
    marginFields->addRow("Color:", EMColor);
    marginFields->addRow("Style:", EMStyle);
    marginFields->addRow("Position:", EMPos);

    EFont = new QComboBox;
    EFont->setObjectName("EFont");
    for (const FontSizes& font : kFonts)
        EFont->addItem(font.name);
    markMissingFonts();
    EFontSize = new QComboBox;
    EFontSize->setObjectName("EFontSize");
    SampleFont = new QLabel("MOVLW H'01' MOVF 0x23 NOP GOTO CALL ");
    SampleFont->setObjectName("SampleFont");
    SampleBFont = new QLabel("movlw H'67' movf 0x89 nop goto call ");
    SampleBFont->setObjectName("SampleBFont");
    DKeymapping = new QComboBox;
    DKeymapping->setObjectName("DKeymapping");
    DKeymapping->addItems({"Default", "Classic"});
    DisplayDefault = new QPushButton("Default");
    DisplayDefault->setObjectName("DisplayDefault");
    connect(EFont, &QComboBox::activated, this, &TEnviDlg::EFontChange);
    connect(EFontSize, &QComboBox::activated, this, &TEnviDlg::EFontSizeChange);
    connect(DisplayDefault, &QPushButton::clicked, this, &TEnviDlg::DisplayDefaultClick);

    auto* fonts = new QFormLayout;
    fonts->addRow("Editor font:", EFont);
    fonts->addRow("Size:", EFontSize);
    fonts->addRow(SampleFont);
    fonts->addRow(SampleBFont);
    fonts->addRow("Keystroke mapping:", DKeymapping);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(margin);
    layout->addLayout(fonts);
    layout->addWidget(DisplayDefault, 0, Qt::AlignRight);
    layout->addStretch();
    return page;
}

QWidget* TEnviDlg::buildColorsPage() {
    auto* page = new QWidget;
    page->setObjectName("TSColors");
    CSetting = new QComboBox;
    CSetting->setObjectName("CSetting");
    for (std::string_view scheme : kSchemes)
        CSetting->addItem(Text(scheme));
    CElement = new QListWidget;
    CElement->setObjectName("CElement");
    CElement->setItemDelegate(new ElementDelegate(CElement));
    QPalette black = CElement->palette();
    black.setColor(QPalette::Base, Qt::black);
    CElement->setPalette(black);
    for (const ElementEntry& entry : kElementEntries)
        CElement->addItem(entry.entry);
    CElement->setFixedSize(170, 14 * int(std::size(kElementEntries)) + 2 * CElement->frameWidth());
    CElement->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ElementGrid = new TColorGrid;
    GBTextAttr = new QGroupBox("Text Attributes:");
    GBTextAttr->setObjectName("GBTextAttr");
    CBTextBold = new QCheckBox("Bold");
    CBTextBold->setObjectName("CBTextBold");
    CBTextItalic = new QCheckBox("Italic");
    CBTextItalic->setObjectName("CBTextItalic");
    CBTextUnderline = new QCheckBox("Underline");
    CBTextUnderline->setObjectName("CBTextUnderline");
    auto* attributes = new QVBoxLayout(GBTextAttr);
    for (QCheckBox* box : {CBTextBold, CBTextItalic, CBTextUnderline}) {
        attributes->addWidget(box);
        connect(box, &QCheckBox::clicked, this, &TEnviDlg::CBTextAttrClick);
    }
    connect(CSetting, &QComboBox::activated, this, &TEnviDlg::CSettingChange);
    connect(CElement, &QListWidget::currentRowChanged, this, &TEnviDlg::CElementClick);
    connect(ElementGrid, &TColorGrid::changed, this, &TEnviDlg::ElementGridChange);

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel("Color SpeedSetting:"));
    left->addWidget(CSetting);
    left->addWidget(new QLabel("Element:"));
    left->addWidget(CElement);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel("Color:"));
    right->addWidget(ElementGrid);
    right->addWidget(GBTextAttr);
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(right);
    top->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(buildPreview());
    return page;
}

QWidget* TEnviDlg::buildPreview() {
    EnviMemo = new QsciScintilla;
    EnviMemo->setObjectName("EnviMemo");
    previewLexer_ = new PicLexer(EnviMemo);
    EnviMemo->setLexer(previewLexer_);
    QStringList lines;
    for (const char* line : kPreviewLines)
        lines << line;
    EnviMemo->setText(lines.join('\n'));
    EnviMemo->setReadOnly(true);
    EnviMemo->SendScintilla(QsciScintilla::SCI_SETCARETSTYLE, QsciScintilla::CARETSTYLE_INVISIBLE);
    EnviMemo->setMarginLineNumbers(0, true);
    EnviMemo->setMarginWidth(0, QString("000"));
    EnviMemo->setMarginWidth(1, 0);
    EnviMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    EnviMemo->setFixedHeight(230);
    previewElements_ = DefaultTextStyles();
    refreshPreview();
    setPreviewColours(0xFFFFFF, 0x000000, 0x000000);
    for (int i = 0; i < int(std::size(kPreviewLineStyles)); ++i)
        LineStyles::SetLineStyle(*EnviMemo, kFirstStyledPreviewLine + i, kPreviewLineStyles[i]);
    return EnviMemo;
}

// ---- showing ----

void TEnviDlg::EnviShow(SettingsStore& settings, Prompter& prompter) {
    settings_ = &settings;
    prompter_ = &prompter;
    const TMemoSourceOptions& source = settings.MemoSourceOptions();
    const TMemoEnvOptions& env = settings.MemoEnvOptions();
    showEditorOptions(source, env);
    showFont(env.Font);
    DKeymapping->setCurrentIndex(DKeymapping->findText(QString::fromStdString(env.KeyMapping)));
    EMPos->setText(QString::number(env.MarginPos));
    EIndent->setText(QString::number(source.BlockIndent));
    CSetting->setCurrentIndex(CSetting->findText(QString::fromStdString(settings.ColorSetting)));
    PageControl->setCurrentIndex(0);

    // start from the form's own colours, so nothing of a cancelled showing remains
    previewElements_ = DefaultTextStyles();
    previewFont_ = env.Font;
    setPreviewColours(0xFFFFFF, 0x000000, 0x000000);
    if (int scheme = SchemeIndex(settings.ColorSetting); scheme >= 0) {
        const auto& colours = kEditorColours[scheme];
        setPreviewColours(colours[0], colours[1], colours[2]);
    }
    for (const TTextStyle& global : env.TextStyles) {
        TTextStyle* preview = previewElements_.Find(global.Name);
        if (!preview)
            continue;
        preview->Color = global.Color;
        preview->Font.Color = global.Font.Color;
        bool colourOnly = std::any_of(std::begin(kColourOnlyElements), std::end(kColourOnlyElements),
                                      [&global](const char* name) { return global.Name == name; });
        if (!colourOnly)
            preview->Font.Style = global.Font.Style;
    }
    refreshPreview();
    CElement->setCurrentRow(0);
    CElementClick();
}

void TEnviDlg::showEditorOptions(const TMemoSourceOptions& source, const TMemoEnvOptions& env) {
    for (const OptionBox& option : kOptionBoxes) {
        uint32_t bits = option.object == OptionObject::Source ? source.Options : env.Options;
        (this->*option.box)->setChecked(bits & Bit(option.bit));
    }
    EMVisible->setChecked(env.Has(moDrawMargin));
    ETab->setText(QString::fromStdString(source.TabStops));
    selectMarginColor(env.MarginPen.Color);
    selectMarginStyle(env.MarginPen.Style);
}

void TEnviDlg::selectMarginStyle(uint32_t style) {
    // a stored style the list does not offer is kept as an entry of its own, so OK does not change it
    while (EMStyle->count() > int(psClear - psSolid + 1))
        EMStyle->removeItem(EMStyle->count() - 1);
    int index = EMStyle->findData(style);
    if (index < 0) {
        EMStyle->addItem(QString("Style %1").arg(style), style);
        index = EMStyle->count() - 1;
    }
    EMStyle->setCurrentIndex(index);
}

void TEnviDlg::selectMarginColor(uint32_t color) {
    // a colour outside the list gets an entry of its own at the end, so OK keeps it
    while (EMColor->count() > int(kGridColors.size()))
        EMColor->removeItem(EMColor->count() - 1);
    int index = EMColor->findData(color);
    if (index < 0) {
        EMColor->addItem(Swatch(color), "Custom", color);
        index = EMColor->count() - 1;
    }
    EMColor->setCurrentIndex(index);
}

void TEnviDlg::markMissingFonts() {
    // a font the machine lacks shows grey, and its tooltip names the font the editor draws instead
    for (int i = 0; i < EFont->count(); ++i) {
        QString name = EFont->itemText(i);
        bool installed = FontInstalled(name);
        EFont->setItemData(i, installed ? QVariant() : QVariant(QColor(Qt::gray)), Qt::ForegroundRole);
        EFont->setItemData(i,
                           installed
                               ? QVariant()
                               : QVariant(QString("Not installed: shown in %1").arg(EditorFontFamily(name))),
                           Qt::ToolTipRole);
    }
}

void TEnviDlg::showFont(const TFont& font) {
    // a stored font outside the list is offered as one more entry, and a stored size as one more size
    while (EFont->count() > kFontCount)
        EFont->removeItem(EFont->count() - 1);
    QString name = QString::fromStdString(font.Name);
    if (EFont->findText(name) < 0) {
        EFont->addItem(name);
        markMissingFonts();
    }
    EFont->setCurrentIndex(EFont->findText(name));
    EFontChange();
    QString size = QString::number(font.Size);
    if (font.Size > 0 && EFontSize->findText(size) < 0) {
        int at = 0;
        while (at < EFontSize->count() && EFontSize->itemText(at).toUInt() < font.Size)
            ++at;
        EFontSize->insertItem(at, size);
    }
    if (int index = EFontSize->findText(size); index >= 0)
        EFontSize->setCurrentIndex(index);
    EFontSizeChange();
}

void TEnviDlg::setPreviewColours(uint32_t background, uint32_t text, uint32_t lineNumbers) {
    previewColours_ = {background, text, lineNumbers};
    previewLexer_->setDefaultPaper(ToQColor(background));
    previewLexer_->setDefaultColor(ToQColor(text));
    previewLexer_->setPaper(ToQColor(background), QsciScintilla::STYLE_DEFAULT);
    previewLexer_->setColor(ToQColor(text), QsciScintilla::STYLE_DEFAULT);
    EnviMemo->setMarginsForegroundColor(ToQColor(lineNumbers));
    // the line numbers stand on the editor background: white Twilight numbers vanish on a light gutter
    EnviMemo->setMarginsBackgroundColor(ToQColor(background));
}

void TEnviDlg::refreshPreview() {
    previewLexer_->setColorElements(previewElements_, previewFont_);
    LineStyles::Install(*EnviMemo, previewElements_);
}

TTextStyle* TEnviDlg::chosenElement() {
    int row = CElement->currentRow();
    if (row < 0 || row >= int(std::size(kElementEntries)))
        return nullptr;
    return previewElements_.Find(kElementEntries[row].element);
}

bool TEnviDlg::chosenIsLine() const {
    int row = CElement->currentRow();
    return row >= 0 && row < int(std::size(kElementEntries)) &&
           kElementEntries[row].kind == ElementKind::Line;
}

// ---- the user's changes ----

void TEnviDlg::CElementClick() {
    TTextStyle* element = chosenElement();
    if (!element)
        return;
    ElementGrid->setIndexes(GridIndexOf(element->Font.Color), GridIndexOf(element->Color));
    bool text = !chosenIsLine();
    const std::pair<QCheckBox*, TFontStyle> boxes[] = {
        {CBTextBold, fsBold}, {CBTextItalic, fsItalic}, {CBTextUnderline, fsUnderline}};
    for (auto [box, style] : boxes) {
        box->setEnabled(text);
        box->setChecked(text && (element->Font.Style & Bit(style)));
    }
}

void TEnviDlg::ElementGridChange() {
    TTextStyle* element = chosenElement();
    if (!element)
        return;
    // a side the grid has no index for keeps its colour
    if (int index = ElementGrid->ForegroundIndex(); index >= 0)
        element->Font.Color = kGridColors[size_t(index)].Value;
    if (int index = ElementGrid->BackgroundIndex(); index >= 0)
        element->Color = kGridColors[size_t(index)].Value;
    refreshPreview();
}

void TEnviDlg::CBTextAttrClick() {
    TTextStyle* element = chosenElement();
    if (!element || chosenIsLine())
        return;
    const std::pair<QCheckBox*, TFontStyle> boxes[] = {
        {CBTextBold, fsBold}, {CBTextItalic, fsItalic}, {CBTextUnderline, fsUnderline}};
    for (auto [box, style] : boxes)
        element->Font.Style =
            box->isChecked() ? element->Font.Style | Bit(style) : element->Font.Style & ~Bit(style);
    refreshPreview();
}

void TEnviDlg::EFontChange() {
    EFontSize->clear();
    if (const FontSizes* sizes = SizesOf(EFont->currentText()))
        for (int size : sizes->sizes)
            EFontSize->addItem(QString::number(size));
    for (QLabel* sample : {SampleFont, SampleBFont}) {
        QFont font = sample->font();
        font.setFamily(EditorFontFamily(EFont->currentText()));  // as the editor will draw it
        sample->setFont(font);
    }
    if (EFontSize->count() > 0)
        EFontSize->setCurrentIndex(0);
    EFontSizeChange();
}

void TEnviDlg::EFontSizeChange() {
    int size = EFontSize->currentText().toInt();
    if (size <= 0)
        return;
    for (QLabel* sample : {SampleFont, SampleBFont}) {
        QFont font = sample->font();
        font.setPointSize(size);
        sample->setFont(font);
    }
}

void TEnviDlg::DisplayDefaultClick() {
    EMVisible->setChecked(true);
    // the system's colour of grey text, as the colour it is now
    selectMarginColor(FromQColor(QApplication::palette().color(QPalette::Disabled, QPalette::Text)));
    EMStyle->setCurrentIndex(EMStyle->findData(uint32_t(psSolid)));
    EMPos->setText("80");
    EFont->setCurrentIndex(EFont->findText("Courier New"));
    EFontChange();
    EFontSize->setCurrentIndex(EFontSize->findText("10"));
    EFontSizeChange();
    DKeymapping->setCurrentIndex(DKeymapping->findText("Default"));
}

void TEnviDlg::CSettingChange() {
    int scheme = SchemeIndex(CSetting->currentText().toStdString());
    if (scheme < 0)
        return;
    // the whole of the editor's scheme colours, so the line numbers stay readable on the new background
    const auto& colours = kEditorColours[scheme];
    setPreviewColours(colours[0], colours[1], colours[2]);
    for (const SchemeElement& row : kSchemeElements) {
        TTextStyle* element = previewElements_.Find(row.element);
        if (!element)
            continue;
        element->Color = row.background[size_t(scheme)];
        element->Font.Color = row.foreground[size_t(scheme)];
        element->Font.Style = row.style;
    }
    refreshPreview();
    CElement->setCurrentRow(0);
    CElementClick();
}

// ---- OK ----

void TEnviDlg::OKBtnClick() {
    if (!settings_) {  // never prepared by EnviShow: there is nothing to apply to
        accept();
        return;
    }
    bool written = true;
    if (auto shortcut = FileSaveShortcutFor(DKeymapping->currentText().toStdString());
        shortcut && settings_->onFileSaveShortcut)
        settings_->onFileSaveShortcut(*shortcut);
    // with no scheme chosen (an unknown name was stored) the stored name stays as it is
    if (CSetting->currentIndex() >= 0) {
        settings_->ColorSetting = CSetting->currentText().toStdString();
        written = settings_->WriteSetting("Environment\\Color", "ColorSetting", settings_->ColorSetting);
    }
    {
        WaitCursor wait;
        Apply();
        written = settings_->SaveMemoOptions() && written;
    }
    emit optionsApplied();
    if (!written) {
        QString reason = QString::fromStdString(settings_->saveError());
        prompter_->error(QString("Settings cannot be saved: %1")
                             .arg(reason.isEmpty() ? "the registry key is missing" : reason));
    }
    accept();
}

void TEnviDlg::Apply() {
    TMemoSourceOptions& source = settings_->MemoSourceOptions();
    TMemoEnvOptions& env = settings_->MemoEnvOptions();
    if (DKeymapping->currentIndex() >= 0)
        env.KeyMapping = DKeymapping->currentText().toStdString();
    for (const OptionBox& option : kOptionBoxes) {
        uint32_t& bits = option.object == OptionObject::Source ? source.Options : env.Options;
        bits = (this->*option.box)->isChecked() ? bits | Bit(option.bit) : bits & ~Bit(option.bit);
    }
    env.Options = EMVisible->isChecked() ? env.Options | Bit(moDrawMargin) : env.Options & ~Bit(moDrawMargin);
    env.MarginPen.Color = EMColor->currentData().toUInt();
    env.MarginPen.Style = EMStyle->currentData().toUInt();
    // an empty (or absurdly long) number keeps the stored value
    bool ok = false;
    if (uint32_t pos = EMPos->text().toUInt(&ok); ok)
        env.MarginPos = pos;
    if (uint32_t indent = EIndent->text().toUInt(&ok); ok)
        source.BlockIndent = indent;
    if (!EFont->currentText().isEmpty())
        env.Font.Name = EFont->currentText().toStdString();
    if (uint32_t size = EFontSize->currentText().toUInt(&ok); ok && size > 0)
        env.Font.Size = size;
    source.TabStops = ETab->text().toStdString();

    for (const ElementEntry& entry : kElementEntries) {
        const TTextStyle* preview = previewElements_.Find(entry.element);
        TTextStyle* global = env.TextStyles.Find(entry.element);
        if (!preview || !global)
            continue;
        global->Color = preview->Color;
        global->Font.Color = preview->Font.Color;
        if (entry.kind == ElementKind::Text)
            global->Font.Style = preview->Font.Style;
    }
    for (const char* name : kPlainElements)
        if (TTextStyle* global = env.TextStyles.Find(name))
            global->Font.Style = 0;
    if (int scheme = SchemeIndex(settings_->ColorSetting); scheme >= 0)
        for (const SchemeElement& row : kHiddenElements)
            if (TTextStyle* global = env.TextStyles.Find(row.element)) {
                global->Color = row.background[size_t(scheme)];
                global->Font.Color = row.foreground[size_t(scheme)];
            }
}
