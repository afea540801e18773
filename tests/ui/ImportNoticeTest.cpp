// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// A GCVS or VSX file loads like any catalogue, and the window then says
// once, as a notice rather than a warning, what was imported and what did
// not fit.
#include "WindowFixture.h"

#include "LumaraGUIDlg.h"
#include "Resource.h"
#include <QFile>
#include <utility>

namespace {

TEST_F(WindowTest, AnImportIsAnnouncedOnceWithWhatDidNotFit) {
    const struct {
        const char* file;
        const char* format;
        const char* stars;
        const char* change;
    } cases[] = {
        {"gcvs-fields.txt", "GCVS 5.1", "10",
         "\n2 magnitudes brighter than 0.01 are listed as 0.01: the catalogue line cannot hold a "
         "sign"},
        {"vsx-fields.txt", "VSX", "10",
         "\n1 magnitude brighter than 0.01 is listed as 0.01: the catalogue line cannot hold a "
         "sign"},
    };
    for (const auto& c : cases) {
        m_dialogs.Forget();
        Load(QStringLiteral(LUMARA_IMPORT_DATA_DIR "/") + c.file);
        EXPECT_TRUE(m_dialogs.Messages().isEmpty()) << c.file;
        ASSERT_EQ(m_dialogs.Notices().size(), 1) << c.file;
        const QString notice = m_dialogs.Notices().front();
        EXPECT_TRUE(notice.startsWith(
            QString("Imported %1 stars from a %2 file.\n").arg(c.stars, c.format)))
            << notice.toStdString();
        EXPECT_TRUE(notice.contains(c.change)) << notice.toStdString();
        EXPECT_EQ(Texts({IDC_RECORDS_LOADED}), QStringList{c.stars});
        Search();
        EXPECT_GT(RowCount(), 0) << c.file;
    }
    LoadExamples();
    EXPECT_TRUE(m_dialogs.Notices().isEmpty());
}

// One star is one star, and a line per kind says what the user sees and
// why, with nothing more when nothing changed.
TEST_F(WindowTest, TheNoticeOfOneStarSpeaksOfOne) {
    QFile fixture(QStringLiteral(LUMARA_IMPORT_DATA_DIR "/vsx-fields.txt"));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    const QByteArray plain = fixture.readLine(); // R And: nothing changes
    fixture.readLine();
    fixture.readLine();
    const QByteArray nearEquator = fixture.readLine(); // V0453 Oph, at -0.5 degrees
    for (const auto& [line, notice] :
         {std::pair{plain, QString("Imported 1 star from a VSX file.")},
          std::pair{nearEquator,
                    QString("Imported 1 star from a VSX file.\n"
                            "2 magnitudes that are limits show < or > in the range; a search "
                            "takes the limit as the value\n"
                            "1 star less than 1 degree south is listed at declination -00, which "
                            "a search takes as 0: the catalogue line holds whole degrees\n"
                            "1 star loses the uncertainty or limit mark of its position or "
                            "period: the catalogue line has no place for it")}}) {
        m_dialogs.Forget();
        Load(WriteFile(QStringLiteral("one.dat"), {line.chopped(1)}));
        EXPECT_EQ(m_dialogs.Notices().join("|").toStdString(), notice.toStdString());
    }
}

} // namespace
