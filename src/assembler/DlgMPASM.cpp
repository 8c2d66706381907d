// SPDX-License-Identifier: GPL-3.0-or-later
// The MPASM Options dialog: every control at its place, the option set copied in on showing and out on OK.
#include "assembler/DlgMPASM.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>

namespace {

template <size_t N>
QStringList Captions(const std::array<TOptionItem, N>& items) {
    QStringList captions;
    for (const TOptionItem& item : items)
        captions << QString::fromUtf8(item.caption.data(), qsizetype(item.caption.size()));
    return captions;
}

template <typename Widget>
Widget* Place(Widget* widget, const char* name, QRect geometry) {
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

}  // namespace

QFont DialogFont() {
    // the places of the controls were laid out for an 8-point dialog font; Arial at 11 pixels has its widths
    QFont font("Arial");
    font.setPixelSize(11);
    return font;
}

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), buttons_(new QButtonGroup(this)) {
    for (int i = 0; i < items.size(); ++i)
        buttons_->addButton(new QRadioButton(items[i], this), i);
    setItemIndex(0);
}

int TRadioGroup::itemIndex() const {
    return buttons_->checkedId();
}

void TRadioGroup::setItemIndex(int index) {
    item(index >= 0 && index < count() ? index : 0)->setChecked(true);
}

QRadioButton* TRadioGroup::item(int index) const {
    return static_cast<QRadioButton*>(buttons_->button(index));
}

int TRadioGroup::count() const {
    return int(buttons_->buttons().size());
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    int top = fontMetrics().height() + 2;
    int row = count() ? (height() - top - 4) / count() : 0;
    for (int i = 0; i < count(); ++i) {
        QRadioButton* button = item(i);
        int h = button->sizeHint().height();
        button->setGeometry(6, top + i * row + (row - h) / 2, width() - 8, h);
    }
}

TMPASMDlg::TMPASMDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("MPASMDlg");
    setWindowTitle("MPASM Options");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(592, 243);
    setFont(DialogFont());
    // the bevel first, so it lies beneath everything it frames
    Bevel1 = Place(new QFrame(this), "Bevel1", {8, 8, 575, 195});
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    // created in tab order
    OKBtn = Place(new QPushButton("OK", this), "OKBtn", {215, 210, 75, 25});
    OKBtn->setDefault(true);
    CancelBtn = Place(new QPushButton("Cancel", this), "CancelBtn", {310, 210, 75, 25});
    buildGeneratedFiles();
    buildRadioGroups();
    buildProcessorAndAdditional();
    connect(OKBtn, &QPushButton::clicked, this, &TMPASMDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    ResetOptions();
    FormShow();
    move(QGuiApplication::primaryScreen()->geometry().center() - rect().center());
}

void TMPASMDlg::buildGeneratedFiles() {
    GroupBox1 = Place(new QGroupBox("Generated Files", this), "GroupBox1", {435, 45, 140, 100});
    CBError = Place(new QCheckBox("Error File", GroupBox1), "CBError", {10, 20, 125, 17});
    CBError->setChecked(true);
    CBError->setEnabled(false);  // the build reads the error file, so it is always made
    CBList = Place(new QCheckBox("List File", GroupBox1), "CBList", {10, 45, 125, 17});
    CBList->setChecked(true);
    CBCross = Place(new QCheckBox("Cross Reference File", GroupBox1), "CBCross", {10, 70, 125, 17});
}

void TMPASMDlg::buildRadioGroups() {
    RGRadix = Place(new TRadioGroup("Radix", Captions(kRadixItems), this), "RGRadix", {15, 45, 100, 100});
    RGWarning = Place(new TRadioGroup("Warning Level", Captions(kWarningItems), this), "RGWarning",
                      {120, 45, 120, 100});
    RGOutput =
        Place(new TRadioGroup("Hex Output", Captions(kHexOutputItems), this), "RGOutput", {245, 45, 80, 100});
    RGMacro = Place(new TRadioGroup("Macro Expansion", Captions(kMacroItems), this), "RGMacro",
                    {330, 45, 100, 100});
    CBCase = Place(new QCheckBox("Case Sensitive", this), "CBCase", {330, 20, 97, 17});
}

void TMPASMDlg::buildProcessorAndAdditional() {
    StaticText1 = Place(new QLabel("Processor:", this), "StaticText1", {10, 15, 65, 17});
    StaticText1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    CBProcessor = Place(new QComboBox(this), "CBProcessor", {80, 15, 100, 21});
    for (std::string_view name : kProcessors)
        CBProcessor->addItem(QString::fromLatin1(name.data(), qsizetype(name.size())));
    CBProcessor->setMaxVisibleItems(16);
    StaticText1->setBuddy(CBProcessor);
    StaticText2 =
        Place(new QLabel("Additional Command Line Options:", this), "StaticText2", {15, 150, 165, 17});
    // a label grows to its text, as the static text did, where the font is wider than the designed one
    StaticText2->resize(std::max(165, StaticText2->sizeHint().width()), 17);
    EAdditional = Place(new QLineEdit(this), "EAdditional", {15, 170, 560, 22});
    QFont bold("Arial");
    bold.setPixelSize(11);
    bold.setBold(true);
    EAdditional->setFont(bold);
    StaticText2->setBuddy(EAdditional);
}

void TMPASMDlg::FormShow() {
    CBList->setChecked(Options.ListFile);
    CBCross->setChecked(Options.CrossFile);
    RGRadix->setItemIndex(Options.Radix);
    RGWarning->setItemIndex(Options.WarningLevel);
    RGOutput->setItemIndex(Options.HexOutput);
    RGMacro->setItemIndex(Options.Macro);
    CBCase->setChecked(Options.CaseSensitive);
    // A processor the list lacks (16F877A, or a name edited into the project file) is offered after the
    // list and chosen, so that OK keeps it instead of storing no processor at all.
    while (CBProcessor->count() > static_cast<int>(std::size(kProcessors)))
        CBProcessor->removeItem(CBProcessor->count() - 1);
    int index = FindProcessor(Options.Processor);
    if (index < 0 && !Options.Processor.empty()) {
        CBProcessor->addItem(QString::fromStdString(Options.Processor));
        index = CBProcessor->count() - 1;
    }
    CBProcessor->setCurrentIndex(index);  // -1: no entry selected
    EAdditional->setText(QString::fromStdString(Options.Additional));
}

void TMPASMDlg::OKBtnClick() {
    Options.ListFile = CBList->isChecked();
    Options.CrossFile = CBCross->isChecked();
    Options.Radix = RGRadix->itemIndex();
    Options.WarningLevel = RGWarning->itemIndex();
    Options.HexOutput = RGOutput->itemIndex();
    Options.Macro = RGMacro->itemIndex();
    Options.CaseSensitive = CBCase->isChecked();
    Options.Processor =
        CBProcessor->currentIndex() < 0 ? std::string() : CBProcessor->currentText().toStdString();
    Options.Additional = EAdditional->text().toStdString();
    accept();
}

void TMPASMDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}
