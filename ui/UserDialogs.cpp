// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "UserDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

std::optional<QString> QtUserDialogs::ChooseFile(QWidget* owner, const FileDialogRequest& request) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    // A name that does not exist is the catalogue's to refuse, so the user
    // hears the program's own message about it.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setNameFilters(request.filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

namespace {

void ShowBox(QMessageBox::Icon icon, QWidget* owner, const QString& text) {
    QMessageBox box(icon, QCoreApplication::applicationName(), text, QMessageBox::Ok, owner);
    box.exec();
}

} // namespace

void QtUserDialogs::ShowMessage(QWidget* owner, const QString& text) {
    ShowBox(QMessageBox::Warning, owner, text);
}

void QtUserDialogs::ShowInformation(QWidget* owner, const QString& text) {
    ShowBox(QMessageBox::Information, owner, text);
}

void ScriptedUserDialogs::Forget() {
    m_messages.clear();
    m_notices.clear();
    m_requests.clear();
}

std::optional<QString> ScriptedUserDialogs::ChooseFile(QWidget*, const FileDialogRequest& request) {
    m_requests.push_back(request);
    if (m_answers.empty()) {
        return std::nullopt;
    }
    const QString answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

void ScriptedUserDialogs::ShowMessage(QWidget*, const QString& text) {
    m_messages.append(text);
}

void ScriptedUserDialogs::ShowInformation(QWidget*, const QString& text) {
    m_notices.append(text);
}
