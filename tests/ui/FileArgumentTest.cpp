// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A catalogue named when the program starts is loaded through the window's
// LoadDataFile; the window must end up exactly as after choosing the same
// file through File > Load Data....

#include "WindowFixture.h"

#include <QWidget>
#include <ostream>

namespace {
const QString kDataFileError = QStringLiteral("Data File Error!");
const QString kNoRecordsLoaded =
    QStringLiteral("No records loaded! Verify data file contains valid variable star records.");

// Everything a load can change that the user sees.
struct WindowState {
    QStringList status;
    std::vector<bool> enabled;
    QStringList messages;
    QList<QStringList> rowsAfterSearch;
    int focusedId = 0;

    bool operator==(const WindowState&) const = default;
};

struct LoadCase {
    const char* name;
    // Loaded one after the other; "<folder>" stands for the test's folder.
    QStringList files;
    QStringList expectedMessages;
    // Whether the last file's stars are listed after a search.
    bool listsStars;
};

void PrintTo(const LoadCase& loadCase, std::ostream* out) {
    *out << loadCase.name;
}

class FileArgumentTest : public WindowTest, public ::testing::WithParamInterface<LoadCase> {
protected:
    void WriteCatalogues() {
        WriteFile(QStringLiteral("examples.txt"), ExampleStars());
        WriteFile(QStringLiteral("Katalog mit Leerzeichen \u00fc.txt"), ExampleStars());
        WriteFile(QStringLiteral("notes.txt"), {"Variable stars, observed in 2026", ""});
    }

    QString Resolve(const QString& file) const {
        return file == QStringLiteral("<folder>") ? PathOf(QString()) : PathOf(file);
    }

    WindowState Capture() {
        WindowState state;
        state.status = Texts({IDC_FILE_NAME, IDC_RECORDS_LOADED, IDC_STARS_FOUND});
        state.enabled = EnabledStates();
        state.messages = m_dialogs.Messages();
        const QWidget* focused = m_window->focusWidget();
        for (const int id : {IDC_RA_WEST, IDC_RA_EAST, IDC_DEC_SOUTH, IDC_DEC_NORTH}) {
            if (focused == m_window->GetDlgItem(id)) {
                state.focusedId = id;
            }
        }
        Search();
        for (int row = 0; row < RowCount(); ++row) {
            state.rowsAfterSearch.append(Row(row));
        }
        return state;
    }
};

TEST_P(FileArgumentTest, LoadsAsTheMenuCommandDoes) {
    const LoadCase& loadCase = GetParam();
    WriteCatalogues();

    for (const QString& file : loadCase.files) {
        Load(Resolve(file));
    }
    const WindowState throughMenu = Capture();

    Reopen();
    m_dialogs.Forget();
    for (const QString& file : loadCase.files) {
        m_window->LoadDataFile(Resolve(file));
    }
    EXPECT_TRUE(m_dialogs.Requests().empty()) << "no file dialog may open";
    const WindowState direct = Capture();

    EXPECT_EQ(direct.messages, loadCase.expectedMessages);
    EXPECT_EQ(!direct.rowsAfterSearch.isEmpty(), loadCase.listsStars);
    EXPECT_EQ(direct.status, throughMenu.status);
    EXPECT_EQ(direct.enabled, throughMenu.enabled);
    EXPECT_EQ(direct.messages, throughMenu.messages);
    EXPECT_EQ(direct.focusedId, throughMenu.focusedId);
    EXPECT_EQ(direct.rowsAfterSearch, throughMenu.rowsAfterSearch);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileArgumentTest,
    ::testing::Values(
        LoadCase{"Catalogue", {"examples.txt"}, {}, true},
        LoadCase{"PathWithSpacesAndUmlaut", {"Katalog mit Leerzeichen \u00fc.txt"}, {}, true},
        LoadCase{"NoStarLines", {"notes.txt"}, {kNoRecordsLoaded}, false},
        LoadCase{"MissingFile", {"missing.txt"}, {kDataFileError}, false},
        LoadCase{"Folder", {"<folder>"}, {kDataFileError}, false},
        LoadCase{
            "CatalogueThenMissingFile", {"examples.txt", "missing.txt"}, {kDataFileError}, false},
        LoadCase{
            "MissingFileThenCatalogue", {"missing.txt", "examples.txt"}, {kDataFileError}, true}),
    [](const ::testing::TestParamInfo<LoadCase>& testCase) {
        return std::string(testCase.param.name);
    });
} // namespace
