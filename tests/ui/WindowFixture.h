// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Drives a real search window; file dialogs and message boxes are answered
// by a scripted stand-in for the user.
#pragma once

#include "LumaraGUIDlg.h"
#include "Resource.h"
#include "UserDialogs.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// One catalogue line of 75 characters: position is R.A. and declination as
// in columns 0-6, period the nine characters of columns 46-54.
QByteArray StarLine(const char* position, const char* name, const char* type, const char* range,
                    const char* period, const char* description);

// The three example stars (05h36m +21, 22h10m -05, 00h12m -00) and a fourth
// at 05h07m -05 with a period of 1.5 days, in this order.
QList<QByteArray> ExampleStars();

// Runs check on the modal window that the next call opens; check closes it.
void OnNextModal(std::function<void(QWidget*)> check);

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;

    QString WriteFile(const QString& name, const QList<QByteArray>& lines);
    QByteArray ReadFile(const QString& path) const;
    QString PathOf(const QString& name) const { return m_folder.filePath(name); }

    QLineEdit* Edit(int id) const;
    QAbstractButton* Button(int id) const;
    QTableView* List() const;
    QStringList Row(int row) const;
    int RowCount() const;
    QStringList Texts(std::initializer_list<int> ids) const;
    // Every control whose enabled state a command changes, enabled or not.
    std::vector<bool> EnabledStates() const;

    // A fresh window in place of the current one.
    void Reopen();
    void Trigger(int commandId);
    void Load(const QString& path);
    void LoadExamples();
    void Type(int id, const QString& text);
    void Click(int id);
    void Search() { Click(IDC_SEARCH_ASC); }

    ScriptedUserDialogs m_dialogs;
    std::unique_ptr<CLumaraGUIDlg> m_window;

private:
    QTemporaryDir m_folder;
};
