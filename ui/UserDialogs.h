// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The questions a window puts to the user: choosing a file and reading a
// message. Windows ask through this interface so that a test, or the
// snapshot tool, can answer in the user's place.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

class QWidget;

struct FileDialogRequest {
    bool open = true;
    // Appended to a typed name that has no extension.
    QString defaultSuffix;
    // Name filters, the first one selected when the dialog opens.
    QStringList filters;
};

class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // The full path of the chosen file, or nothing when the user cancels.
    virtual std::optional<QString> ChooseFile(QWidget* owner, const FileDialogRequest& request) = 0;
    // A modal warning with an OK button.
    virtual void ShowMessage(QWidget* owner, const QString& text) = 0;
    // A modal notice with an OK button, for what went right but is worth
    // knowing.
    virtual void ShowInformation(QWidget* owner, const QString& text) = 0;
};

class QtUserDialogs final : public UserDialogs {
public:
    std::optional<QString> ChooseFile(QWidget* owner, const FileDialogRequest& request) override;
    void ShowMessage(QWidget* owner, const QString& text) override;
    void ShowInformation(QWidget* owner, const QString& text) override;
};

// Answers file dialogs from a queue (an empty queue cancels) and keeps every
// warning, notice and request for inspection.
class ScriptedUserDialogs final : public UserDialogs {
public:
    void AnswerWith(const QString& path) { m_answers.push_back(path); }

    const QStringList& Messages() const { return m_messages; }
    const QStringList& Notices() const { return m_notices; }
    const std::vector<FileDialogRequest>& Requests() const { return m_requests; }
    void Forget();

    std::optional<QString> ChooseFile(QWidget* owner, const FileDialogRequest& request) override;
    void ShowMessage(QWidget* owner, const QString& text) override;
    void ShowInformation(QWidget* owner, const QString& text) override;

private:
    std::deque<QString> m_answers;
    QStringList m_messages;
    QStringList m_notices;
    std::vector<FileDialogRequest> m_requests;
};
