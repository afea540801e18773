// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// A GCVS or VSX file loads like any catalogue, and the window then says
// once, as a notice rather than a warning, what was imported and what did
// not fit.
#include "WindowFixture.h"

#include "LumaraGUIDlg.h"
#include "Resource.h"

namespace {

TEST_F(WindowTest, AnImportIsAnnouncedOnceWithWhatDidNotFit) {
    const struct {
        const char* file;
        const char* format;
        const char* stars;
        const char* change;
    } cases[] = {
        {"gcvs-fields.txt", "GCVS 5.1", "10", "4 magnitudes rounded"},
        {"vsx-fields.txt", "VSX", "10", "3 names shortened"},
    };
    for (const auto& c : cases) {
        m_dialogs.Forget();
        Load(QStringLiteral(LUMARA_IMPORT_DATA_DIR "/") + c.file);
        EXPECT_TRUE(m_dialogs.Messages().isEmpty()) << c.file;
        ASSERT_EQ(m_dialogs.Notices().size(), 1) << c.file;
        const QString notice = m_dialogs.Notices().front();
        EXPECT_TRUE(
            notice.contains(QString("Imported %1 stars from a %2 file.").arg(c.stars, c.format)))
            << notice.toStdString();
        EXPECT_TRUE(notice.contains(c.change)) << notice.toStdString();
        EXPECT_EQ(Texts({IDC_RECORDS_LOADED}), QStringList{c.stars});
        Search();
        EXPECT_GT(RowCount(), 0) << c.file;
    }
    LoadExamples();
    EXPECT_TRUE(m_dialogs.Notices().isEmpty());
}

} // namespace
