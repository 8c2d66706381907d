// SPDX-License-Identifier: GPL-3.0-or-later
// The External EXE dialog: where the assembler program lies.
#include "assembler/DlgEXE.h"

#include "editor/AllReg.h"
#include "platform/Prompter.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>

namespace {

// The path label: its text is the whole path; what does not fit the page is elided in the middle, so both
// the folder's start and the program's name show, and the tooltip gives it all.
class TPathLabel : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(contentsRect(), int(alignment()) | Qt::TextSingleLine, shown);
    }
};

constexpr int kLabelLeft = 90;

}  // namespace

TEXEDlg::TEXEDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("EXEDlg");
    setWindowTitle("External EXE");
    setFixedSize(392, 193);

    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setGeometry(115, 160, 75, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &TEXEDlg::OKBtnClick);
    CancelBtn = new QPushButton("Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    CancelBtn->setGeometry(210, 160, 75, 25);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);  // Esc rejects as well

    PCExe = new QTabWidget(this);
    PCExe->setObjectName("PCExe");
    PCExe->setGeometry(5, 5, 382, 150);
    TSMicrochip = new QWidget;
    TSMicrochip->setObjectName("TSMicrochip");
    PCExe->addTab(TSMicrochip, "Microchip");
    BMPASMWIN = new QPushButton("MPASMWIN", TSMicrochip);
    BMPASMWIN->setObjectName("BMPASMWIN");
    BMPASMWIN->setGeometry(5, 5, 75, 25);
    BMPASMWIN->setAutoDefault(false);
    connect(BMPASMWIN, &QPushButton::clicked, this, &TEXEDlg::BMPASMWINClick);
    LMPASMWIN = new TPathLabel(TSMicrochip);
    LMPASMWIN->setObjectName("LMPASMWIN");
    LMPASMWIN->move(kLabelLeft, 10);
    setPath({});
    setTabOrder(OKBtn, CancelBtn);
    setTabOrder(CancelBtn, BMPASMWIN);

    move(QGuiApplication::primaryScreen()->geometry().center() - rect().center());
}

void TEXEDlg::setPath(const QString& path) {
    LMPASMWIN->setText(path);
    LMPASMWIN->adjustSize();
    // sized to the path, up to the page's right edge
    int room = PCExe->contentsRect().width() - kLabelLeft - 8;
    if (LMPASMWIN->width() > room)
        LMPASMWIN->resize(room, LMPASMWIN->height());
    LMPASMWIN->setToolTip(path);
}

void TEXEDlg::FormShow(SettingsStore& settings, Prompter& prompter) {
    settings_ = &settings;
    prompter_ = &prompter;
    setPath(QString::fromStdString(settings.AssemblerPath));
}

void TEXEDlg::BMPASMWINClick() {
    if (!prompter_)
        return;
    FileDialogRequest request;
    request.title = "External EXE";
    // Linux file names keep their letter case: the gpasm front end is MPASMWIN.EXE
    request.filters = QStringList{"EXE file (*.exe *.EXE)"};
    request.defaultSuffix = "exe";
    FileDialogResult chosen = prompter_->openFiles(request, false);
    if (chosen.files.isEmpty() || !QFileInfo(chosen.files.front()).isFile())
        return;
    setPath(QFileInfo(chosen.files.front()).absoluteFilePath());
}

void TEXEDlg::OKBtnClick() {
    if (settings_) {
        settings_->AssemblerPath = LMPASMWIN->text().toStdString();
        settings_->AssemblerFileName = FileNamePart(settings_->AssemblerPath);
        // the new path holds for this run even when it cannot be kept for the next
        if (!settings_->WriteSetting("External EXE\\Microchip", "MPASMWIN.EXE", settings_->AssemblerPath) &&
            prompter_)
            prompter_->error(QString("Settings cannot be saved: %1")
                                 .arg(QString::fromStdString(settings_->registry().lastError())));
    }
    accept();
}
