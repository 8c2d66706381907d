// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt prompter: message boxes and file dialogs parented to the active window.
#include "platform/Prompter.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QWidget* Owner() {
    return QApplication::activeWindow();
}

// A message box with a title bar of a close button only: a window manager left to itself offers to
// maximise it, and minimising a box the program waits on would hide the question.
void OfferOnlyClose(QMessageBox& box) {
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
}

int ShowBox(QMessageBox::Icon icon, const QString& title, const QString& text,
            QMessageBox::StandardButtons buttons, QMessageBox::StandardButton preferred) {
    QMessageBox box(icon, title, text, buttons, Owner());
    OfferOnlyClose(box);
    if (preferred != QMessageBox::NoButton)
        box.setDefaultButton(preferred);
    return box.exec();
}

}  // namespace

void QtPrompter::error(const QString& text) {
    ShowBox(QMessageBox::Critical, "Error", text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtPrompter::information(const QString& text) {
    ShowBox(QMessageBox::Information, "Information", text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtPrompter::confirm(const QString& text) {
    return ShowBox(QMessageBox::Question, "Confirm", text, QMessageBox::Yes | QMessageBox::No,
                   QMessageBox::No) == QMessageBox::Yes;
}

SaveAnswer QtPrompter::askSave(const QString& text, SaveButtons buttons) {
    QMessageBox box(QMessageBox::Question, "Confirm", text, QMessageBox::NoButton, Owner());
    OfferOnlyClose(box);
    QPushButton* yes = box.addButton(QMessageBox::Yes);
    QPushButton* no = box.addButton(QMessageBox::No);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    QPushButton* all =
        buttons == SaveButtons::YesNoCancelAll ? box.addButton("&All", QMessageBox::YesRole) : nullptr;
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes)
        return SaveAnswer::Yes;
    if (box.clickedButton() == no)
        return SaveAnswer::No;
    if (all && box.clickedButton() == all)
        return SaveAnswer::All;
    return SaveAnswer::Cancel;
}

void QtPrompter::exception(const QString& text) {
    ShowBox(QMessageBox::Critical, "Korvex", text, QMessageBox::Ok, QMessageBox::Ok);
}

FileDialogResult QtPrompter::openFiles(const FileDialogRequest& request, bool multiple) {
    QFileDialog dialog(Owner(), request.title, request.directory);
    if (!request.mustExist)
        dialog.setFileMode(QFileDialog::AnyFile);
    else
        dialog.setFileMode(multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(request.filters);
    dialog.setDefaultSuffix(request.defaultSuffix);  // "blink" typed in Project > Open is blink.pro
    if (!request.selectedFilter.isEmpty())
        dialog.selectNameFilter(request.selectedFilter);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return {dialog.selectedFiles(), dialog.selectedNameFilter()};
}

FileDialogResult QtPrompter::saveFile(const FileDialogRequest& request) {
    QFileDialog dialog(Owner(), request.title, request.directory);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(request.filters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.askOverwrite);
    if (!request.selectedFilter.isEmpty())
        dialog.selectNameFilter(request.selectedFilter);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return {dialog.selectedFiles(), dialog.selectedNameFilter()};
}

int QtPrompter::showModal(QDialog& dialog) {
    return dialog.exec();
}
