// SPDX-License-Identifier: GPL-3.0-or-later
// The scripted prompter used by every GUI test.
#include "ScriptedPrompter.h"

#include <gtest/gtest.h>
#include <QDialog>

namespace {

const char* KindName(int kind) {
    static const char* names[] = {"error",         "information", "exception",   "confirmation",
                                  "save question", "file dialog", "modal dialog"};
    return names[kind];
}

}  // namespace

ScriptedPrompter::~ScriptedPrompter() {
    allAnswered();
}

bool ScriptedPrompter::allAnswered() const {
    for (const Step& step : script_)
        ADD_FAILURE() << "expected " << KindName(int(step.kind)) << " \"" << step.text.toStdString()
                      << "\" never came";
    return script_.empty();
}

void ScriptedPrompter::expectError(const QString& text) {
    script_.push_back({Kind::Error, text});
}
void ScriptedPrompter::expectInformation(const QString& text) {
    script_.push_back({Kind::Information, text});
}
void ScriptedPrompter::expectException(const QString& text) {
    script_.push_back({Kind::Exception, text});
}

void ScriptedPrompter::willConfirm(const QString& text, bool yes) {
    Step step{Kind::Confirm, text};
    step.yes = yes;
    script_.push_back(step);
}

void ScriptedPrompter::willAnswerSave(const QString& text, SaveAnswer answer, SaveButtons buttons) {
    Step step{Kind::Save, text};
    step.save = answer;
    step.buttons = buttons;
    script_.push_back(step);
}

void ScriptedPrompter::willChooseFile(const QString& path) {
    willChooseFiles({path});
}

void ScriptedPrompter::willChooseFiles(const QStringList& paths) {
    Step step{Kind::File, {}};
    step.files = paths;
    script_.push_back(step);
}

void ScriptedPrompter::willCancelFile() {
    script_.push_back({Kind::File, {}});
}

void ScriptedPrompter::willShowModal(const QString& objectName, std::function<int(QDialog&)> answer) {
    Step step{Kind::Modal, objectName};
    step.modal = std::move(answer);
    script_.push_back(step);
}

bool ScriptedPrompter::take(Kind kind, const QString& text, Step& step) {
    if (script_.empty()) {
        ADD_FAILURE() << "unexpected " << KindName(int(kind)) << " \"" << text.toStdString() << "\"";
        return false;
    }
    step = script_.front();
    script_.pop_front();
    // file dialogs are matched by kind only; their requests are kept in lastFileRequest
    if (step.kind != kind || (kind != Kind::File && step.text != text)) {
        ADD_FAILURE() << "expected " << KindName(int(step.kind)) << " \"" << step.text.toStdString()
                      << "\" but got " << KindName(int(kind)) << " \"" << text.toStdString() << "\"";
        return false;
    }
    return true;
}

void ScriptedPrompter::error(const QString& text) {
    Step step;
    take(Kind::Error, text, step);
}

void ScriptedPrompter::information(const QString& text) {
    Step step;
    take(Kind::Information, text, step);
}

void ScriptedPrompter::exception(const QString& text) {
    Step step;
    take(Kind::Exception, text, step);
}

bool ScriptedPrompter::confirm(const QString& text) {
    Step step;
    return take(Kind::Confirm, text, step) && step.yes;
}

SaveAnswer ScriptedPrompter::askSave(const QString& text, SaveButtons buttons) {
    Step step;
    if (!take(Kind::Save, text, step))
        return SaveAnswer::Cancel;
    EXPECT_EQ(int(step.buttons), int(buttons)) << "buttons of \"" << text.toStdString() << "\"";
    return step.save;
}

FileDialogResult ScriptedPrompter::openFiles(const FileDialogRequest& request, bool) {
    lastFileRequest = request;
    Step step;
    if (!take(Kind::File, {}, step))
        return {};
    return {step.files, request.selectedFilter};
}

FileDialogResult ScriptedPrompter::saveFile(const FileDialogRequest& request) {
    lastFileRequest = request;
    Step step;
    if (!take(Kind::File, {}, step))
        return {};
    return {step.files, request.selectedFilter};
}

int ScriptedPrompter::showModal(QDialog& dialog) {
    Step step;
    if (!take(Kind::Modal, dialog.objectName(), step))
        return QDialog::Rejected;
    return step.modal ? step.modal(dialog) : QDialog::Accepted;
}
