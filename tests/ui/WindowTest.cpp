// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "WindowFixture.h"

#include "AboutDlg.h"
#include "ApplicationLook.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>

namespace {
const QString kDataFileError = QStringLiteral("Data File Error!");
const QString kNoRecordsLoaded =
    QStringLiteral("No records loaded! Verify data file contains valid variable star records.");
const QString kNoRecordsSaved =
    QStringLiteral("No records saved! Verify data loaded and searched by criteria.");

const QStringList kStar1 = {"05:36",          "21",         "     RT Xyz",         "M       ",
                            "  6.20 - 9.85 ", "  371.5000", "long-period giant   "};
const QStringList kStar2 = {"22:10",          "-05",        "  V1234 Xyz",         "EA/SD   ",
                            "< 9.10 -10.35 ", "12000.3000", "eclipsing system    "};
const QStringList kStar3 = {"00:12",          "00", "          Q",         "CST     ",
                            "              ", "",   "no light curve      "};
const QStringList kStar4 = {"05:07",          "-05",        "     SS Abc",         "EW      ",
                            "  5.10 - 5.60 ", "    1.5000", "short period        "};

const std::initializer_list<int> kCriteriaFields = {IDC_RA_WEST,      IDC_RA_EAST,    IDC_DEC_SOUTH,
                                                    IDC_DEC_NORTH,    IDC_MAG_MAX,    IDC_MAG_MIN,
                                                    IDC_PERIOD_LEAST, IDC_PERIOD_MOST};
const std::initializer_list<int> kStatusFields = {IDC_FILE_NAME, IDC_RECORDS_LOADED,
                                                  IDC_STARS_FOUND};

// Enabled states in the order of WindowTest::EnabledStates().
const std::vector<bool> kEmpty(15, false);
const std::vector<bool> kLoaded(15, true);
const std::vector<bool> kNoLightCurve = {true,  true,  true, true, false, false, false, false,
                                         false, false, true, true, true,  true,  true};
} // namespace

TEST_F(WindowTest, OpensEmptyWithInitialTexts) {
    EXPECT_EQ(m_window->windowTitle(), "Lumara - NOVAX Variable Star Search");
    EXPECT_EQ(Texts(kCriteriaFields), QStringList({"0", "23", "-90", "90", "6", "0", "0", "1000"}));
    EXPECT_EQ(Texts(kStatusFields), QStringList({"", "0", "0"}));
    EXPECT_TRUE(Button(IDC_USE_MAGNITUDE)->isChecked());
    EXPECT_TRUE(Button(IDC_USE_PERIOD)->isChecked());
    EXPECT_FALSE(Button(IDC_NO_LIGHT_CURVE)->isChecked());
    EXPECT_FALSE(Button(IDC_TONIGHT)->isChecked());
    EXPECT_FALSE(Button(IDC_EVENT_TONIGHT)->isChecked());
    EXPECT_EQ(EnabledStates(), kEmpty);
    for (const int id : kStatusFields) {
        EXPECT_FALSE(Edit(id)->isEnabled()) << id;
    }
    EXPECT_TRUE(List()->isEnabled());
    EXPECT_EQ(RowCount(), 0);
    // It opens at its least size and may grow.
    EXPECT_EQ(m_window->Client()->minimumSize(), m_window->Client()->size());
    EXPECT_GT(m_window->maximumSize().width(), m_window->width());
    EXPECT_GT(m_window->maximumSize().height(), m_window->height());
}

TEST_F(WindowTest, ListHasTheSevenColumnsAndNoSorting) {
    const QAbstractItemModel* model = List()->model();
    const QStringList titles = {"R.A.",      "Dec.",   "Name",       "Type",
                                "Magnitude", "Period", "Description"};
    const QList<bool> rightAligned = {true, true, true, false, false, true, false};
    ASSERT_EQ(model->columnCount(), titles.size());
    for (int column = 0; column < titles.size(); ++column) {
        EXPECT_EQ(model->headerData(column, Qt::Horizontal).toString(), titles[column]);
        const auto alignment =
            model->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
        EXPECT_EQ((alignment & Qt::AlignRight) != 0, rightAligned[column]) << column;
    }
    // Columns keep their proportions, Description three times as wide as R.A.
    EXPECT_NEAR(List()->columnWidth(6), 3 * List()->columnWidth(0), 3);
    EXPECT_GE(List()->columnWidth(0), 40);
    EXPECT_FALSE(List()->isSortingEnabled());
    EXPECT_EQ(List()->selectionMode(), QAbstractItemView::ExtendedSelection);
}

TEST_F(WindowTest, ControlsStandAtTheirDialogUnitPlaces) {
    const DialogUnits& units = m_window->Units();
    // The name, type and night fields, with the two night boxes one under
    // the other, take 74 units above the buttons.
    EXPECT_EQ(m_window->Client()->size(), units.Map({0, 0, 520, 372}).size());
    EXPECT_EQ(List()->geometry(), units.Map({156, 10, 356, 355}));
    EXPECT_EQ(Edit(IDC_RA_WEST)->geometry(), units.Map({78, 114, 24, 12}));
    EXPECT_EQ(Edit(IDC_PERIOD_MOST)->geometry(), units.Map({108, 212, 24, 12}));
    EXPECT_EQ(Button(IDC_TONIGHT)->geometry(), units.Map({36, 284, 96, 10}));
    EXPECT_EQ(Button(IDC_EVENT_TONIGHT)->geometry(), units.Map({36, 296, 96, 16}));
    EXPECT_EQ(Button(IDC_SEARCH_DESC)->geometry(), units.Map({18, 322, 54, 12}));
    EXPECT_EQ(Button(IDC_NO_LIGHT_CURVE)->geometry(), units.Map({36, 342, 96, 16}));
}

// The real VSX has over two million stars: a count of eight digits, and the
// labels beside the counts, are shown whole at any font size (ctest runs
// this at 144 DPI as well).
TEST_F(WindowTest, CountsOfEightDigitsAndTheirLabelsAreShownWhole) {
    const QString count = QString::number(10000000);
    for (const int id : {IDC_RECORDS_LOADED, IDC_STARS_FOUND}) {
        QLineEdit* edit = Edit(id);
        edit->setText(count);
        // Painting places the text; a text too wide is scrolled so that its
        // start lies out of sight.
        static_cast<void>(edit->grab());
        const int middle = edit->height() / 2;
        EXPECT_EQ(edit->cursorPositionAt({edit->contentsRect().left() + 1, middle}), 0) << id;
        EXPECT_EQ(edit->cursorPositionAt({edit->contentsRect().right() - 1, middle}), count.size())
            << id;
    }
    for (const char* caption : {"Records Loaded:", "Stars Found in Search:"}) {
        QLabel* label = nullptr;
        for (QLabel* candidate : m_window->findChildren<QLabel*>()) {
            label = candidate->text() == caption ? candidate : label;
        }
        ASSERT_NE(label, nullptr) << caption;
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()),
                  label->contentsRect().width())
            << caption;
    }
}

TEST_F(WindowTest, TabOrderFollowsTheTemplate) {
    LoadExamples();
    const std::vector<int> tabStops = {IDC_RA_WEST, IDC_RA_EAST, IDC_DEC_SOUTH,    IDC_DEC_NORTH,
                                       IDC_MAG_MAX, IDC_MAG_MIN, IDC_PERIOD_LEAST, IDC_PERIOD_MOST,
                                       IDC_NAME,    IDC_TYPE,    IDC_SEARCH_ASC};
    for (std::size_t i = 0; i + 1 < tabStops.size(); ++i) {
        m_window->GetDlgItem(tabStops[i])->setFocus();
        QTest::keyClick(m_window->focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(m_window->focusWidget(), m_window->GetDlgItem(tabStops[i + 1])) << i;
    }
    for (const int id : {IDC_SEARCH_DESC, IDC_NO_LIGHT_CURVE, IDC_STAR_LIST, IDC_USE_MAGNITUDE,
                         IDC_USE_PERIOD, IDC_TONIGHT, IDC_EVENT_TONIGHT}) {
        EXPECT_EQ(m_window->GetDlgItem(id)->focusPolicy() & Qt::TabFocus, 0) << id;
    }
}

TEST_F(WindowTest, SuccessfulLoadEnablesCriteriaAndFocusesWest) {
    LoadExamples();
    EXPECT_EQ(EnabledStates(), kLoaded);
    EXPECT_EQ(Texts(kStatusFields), QStringList({"examples.txt", "4", "0"}));
    EXPECT_EQ(RowCount(), 0);
    EXPECT_TRUE(m_window->GetCatalog().IsLoaded());
    EXPECT_EQ(m_window->focusWidget(), Edit(IDC_RA_WEST));
    EXPECT_EQ(Edit(IDC_RA_WEST)->selectedText(), "0");
    EXPECT_EQ(m_dialogs.Requests().back().defaultSuffix, "txt");
    EXPECT_TRUE(m_dialogs.Requests().back().open);
}

// VSX comes as vsx.dat: the open dialog shows every catalogue first, then
// the text files and all files; the TXT save keeps opening on text files.
TEST_F(WindowTest, TheOpenDialogShowsEveryCatalogueFirst) {
    Trigger(ID_FILE_LOADDATA);
    Trigger(ID_FILE_SAVETXT);
    ASSERT_EQ(m_dialogs.Requests().size(), 2u);
    const QStringList& open = m_dialogs.Requests()[0].filters;
    const QRegularExpressionMatch catalogues =
        QRegularExpression(QStringLiteral(R"(^Catalogues \((.+)\)$)")).match(open.value(0));
    ASSERT_TRUE(catalogues.hasMatch()) << open.join('|').toStdString();
    const QStringList patterns = catalogues.captured(1).split(' ');
    for (const QString name : {"vsx.dat", "gcvs5.txt", "demo-catalogue.txt", "vsx.csv", "asu.tsv",
                               "topcat.vot", "votable.xml"}) {
        EXPECT_TRUE(std::any_of(patterns.begin(), patterns.end(), [&name](const QString& pattern) {
            return QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern))
                .match(name)
                .hasMatch();
        })) << name.toStdString();
    }
    EXPECT_EQ(open.mid(1), QStringList({"Text Files (*.txt)", "All Files (*)"}));
    EXPECT_EQ(m_dialogs.Requests()[1].filters.value(0), "Text Files (*.txt)");
}

TEST_F(WindowTest, LoadsThatFailReturnToEmpty) {
    struct Case {
        QString path;
        QString message;
    };
    const QString noStars = WriteFile("notes.txt", {"a heading", "", "0536+21 too short"});
    for (const Case& load :
         {Case{noStars, kNoRecordsLoaded}, Case{PathOf("missing.txt"), kDataFileError},
          Case{PathOf(""), kDataFileError}}) {
        LoadExamples();
        Click(IDC_SEARCH_ASC);
        ASSERT_GT(RowCount(), 0);
        m_dialogs.Forget();
        Load(load.path);
        EXPECT_EQ(m_dialogs.Messages(), QStringList{load.message});
        EXPECT_EQ(EnabledStates(), kEmpty);
        EXPECT_EQ(Texts(kStatusFields), QStringList({"", "0", "0"}));
        EXPECT_EQ(RowCount(), 0);
    }

    // A table that cannot be read says why beneath the message.
    m_dialogs.Forget();
    Load(WriteFile("broken.csv", {"Name,RAdeg,DEdeg", "\"V1 Ori,83.1,5.2"}));
    const std::string problem = m_window->GetCatalog().GetLoadProblem();
    EXPECT_NE(problem.find("quote"), std::string::npos) << problem;
    EXPECT_EQ(m_dialogs.Messages(),
              QStringList{kDataFileError + "\n" + QString::fromStdString(problem)});
}

TEST_F(WindowTest, CancelledLoadChangesNothing) {
    Trigger(ID_FILE_LOADDATA);
    EXPECT_TRUE(m_dialogs.Messages().isEmpty());
    EXPECT_EQ(EnabledStates(), kEmpty);

    LoadExamples();
    Search();
    Click(IDC_USE_PERIOD);
    const QStringList status = Texts(kStatusFields);
    const QStringList firstRow = Row(0);
    const std::vector<bool> enabled = EnabledStates();
    Trigger(ID_FILE_LOADDATA);
    EXPECT_TRUE(m_dialogs.Messages().isEmpty());
    EXPECT_EQ(Texts(kStatusFields), status);
    EXPECT_EQ(Row(0), firstRow);
    EXPECT_EQ(EnabledStates(), enabled);
    EXPECT_TRUE(m_window->GetCatalog().IsLoaded());
}

TEST_F(WindowTest, SearchListsRowsInBothOrders) {
    LoadExamples();
    Click(IDC_USE_MAGNITUDE);
    Click(IDC_USE_PERIOD);
    Click(IDC_SEARCH_ASC);
    EXPECT_EQ(Edit(IDC_STARS_FOUND)->text(), "4");
    ASSERT_EQ(RowCount(), 4);
    EXPECT_EQ(Row(0), kStar1);
    EXPECT_EQ(Row(1), kStar2);
    EXPECT_EQ(Row(2), kStar3);
    EXPECT_EQ(Row(3), kStar4);

    Click(IDC_SEARCH_DESC);
    ASSERT_EQ(RowCount(), 4);
    EXPECT_EQ(Row(0), kStar4);
    EXPECT_EQ(Row(3), kStar1);

    // With the window's first criteria only the short-period star passes.
    Click(IDC_USE_MAGNITUDE);
    Click(IDC_USE_PERIOD);
    Search();
    EXPECT_EQ(Edit(IDC_STARS_FOUND)->text(), "1");
    ASSERT_EQ(RowCount(), 1);
    EXPECT_EQ(Row(0), kStar4);

    Type(IDC_RA_WEST, "23");
    Type(IDC_RA_EAST, "1");
    Search();
    EXPECT_EQ(Edit(IDC_STARS_FOUND)->text(), "0");
    EXPECT_EQ(RowCount(), 0);
}

TEST_F(WindowTest, NoLightCurveSearchAndItsEnabledStates) {
    LoadExamples();
    Click(IDC_NO_LIGHT_CURVE);
    EXPECT_EQ(EnabledStates(), kNoLightCurve);
    Search();
    ASSERT_EQ(RowCount(), 1);
    EXPECT_EQ(Row(0), kStar3);

    Click(IDC_USE_MAGNITUDE);
    EXPECT_EQ(EnabledStates(), kNoLightCurve) << "a disabled box cannot be clicked";
    Click(IDC_NO_LIGHT_CURVE);
    EXPECT_EQ(EnabledStates(), kLoaded);
    Click(IDC_USE_MAGNITUDE);
    EXPECT_FALSE(Edit(IDC_MAG_MAX)->isEnabled());
    EXPECT_FALSE(Edit(IDC_MAG_MIN)->isEnabled());
    EXPECT_TRUE(Edit(IDC_PERIOD_LEAST)->isEnabled());
}

TEST_F(WindowTest, RefusedFieldIsReportedAndStopsTheSearch) {
    struct Case {
        int id;
        QString text;
        QString message;
    };
    const QList<Case> cases = {
        {IDC_RA_WEST, "24", "Enter an integer between 0 and 23."},
        {IDC_RA_WEST, "ab", "Please enter an integer."},
        {IDC_RA_EAST, "", "Please enter an integer."},
        {IDC_DEC_SOUTH, "70000", "Please enter an integer."},
        {IDC_MAG_MAX, "99.5", "Enter a number between 0 and 99."},
        {IDC_MAG_MIN, "1e39", "Please enter a number."},
        {IDC_PERIOD_LEAST, "100000.5", "Enter a number between 0 and 100000."},
        {IDC_PERIOD_MOST, "nan", "Please enter a number."},
    };
    for (const Case& refused : cases) {
        Reopen();
        LoadExamples();
        Search();
        const QStringList row = Row(0);
        m_dialogs.Forget();
        if (refused.id != IDC_RA_WEST) {
            Type(IDC_RA_WEST, "5");
        }
        Type(refused.id, refused.text);
        Search();
        EXPECT_EQ(m_dialogs.Messages(), QStringList{refused.message});
        EXPECT_EQ(m_window->focusWidget(), Edit(refused.id));
        EXPECT_EQ(Edit(refused.id)->selectedText(), refused.text);
        // Nothing else happened: the field before it reached no catalogue,
        // and list and counts stand.
        EXPECT_EQ(m_window->GetCatalog().GetRaFrom(), 0);
        EXPECT_EQ(Edit(refused.id)->text(), refused.text);
        EXPECT_EQ(RowCount(), 1);
        EXPECT_EQ(Row(0), row);
        EXPECT_EQ(Edit(IDC_STARS_FOUND)->text(), "1");
    }
}

TEST_F(WindowTest, AcceptedFieldsAreWrittenBackNormalised) {
    LoadExamples();
    Type(IDC_MAG_MAX, " 6.50 ");
    Type(IDC_MAG_MIN, "99");
    Type(IDC_PERIOD_LEAST, "+1.0e1");
    Type(IDC_PERIOD_MOST, "100000");
    Type(IDC_RA_WEST, " 22");
    Type(IDC_RA_EAST, "2");
    Search();
    EXPECT_TRUE(m_dialogs.Messages().isEmpty()) << m_dialogs.Messages().join('\n').toStdString();
    EXPECT_EQ(Texts(kCriteriaFields),
              QStringList({"22", "2", "-90", "90", "6.5", "99", "10", "100000"}));
    const CStarCatalog& catalog = m_window->GetCatalog();
    EXPECT_EQ(catalog.GetMaxMagLimit(), 6.5f);
    EXPECT_EQ(catalog.GetMinMagLimit(), 99.0f);
    EXPECT_EQ(catalog.GetPeriodMost(), 100000.0);

    Type(IDC_PERIOD_MOST, "1000.0");
    Search();
    EXPECT_EQ(Edit(IDC_PERIOD_MOST)->text(), "1000");
}

TEST_F(WindowTest, SearchRunsOnExactlyThePairsShown) {
    LoadExamples();
    const CStarCatalog& catalog = m_window->GetCatalog();
    Click(IDC_USE_MAGNITUDE);
    Click(IDC_USE_PERIOD);
    Type(IDC_DEC_SOUTH, "10");
    Type(IDC_DEC_NORTH, "20");
    Search();
    EXPECT_EQ(RowCount(), 0);

    // Both bounds above the band in force: applied whole at the first press.
    Type(IDC_DEC_SOUTH, "21");
    Type(IDC_DEC_NORTH, "40");
    Search();
    EXPECT_EQ(catalog.GetDecSouth(), 21);
    EXPECT_EQ(catalog.GetDecNorth(), 40);
    ASSERT_EQ(RowCount(), 1);
    EXPECT_EQ(Row(0), kStar1);

    // And back down below it.
    Type(IDC_DEC_SOUTH, "-10");
    Type(IDC_DEC_NORTH, "-1");
    Search();
    EXPECT_EQ(catalog.GetDecSouth(), -10);
    EXPECT_EQ(catalog.GetDecNorth(), -1);
    EXPECT_EQ(RowCount(), 2);

    Click(IDC_USE_PERIOD);
    Type(IDC_DEC_SOUTH, "-90");
    Type(IDC_DEC_NORTH, "90");
    Type(IDC_PERIOD_LEAST, "2000");
    Type(IDC_PERIOD_MOST, "30000");
    Search();
    EXPECT_EQ(catalog.GetPeriodLeast(), 2000.0);
    EXPECT_EQ(catalog.GetPeriodMost(), 30000.0);
    ASSERT_EQ(RowCount(), 1);
    EXPECT_EQ(Row(0), kStar2);
}

TEST_F(WindowTest, PairOutOfOrderIsRefusedOnTheFieldAtFault) {
    struct Case {
        int lowerId;
        QString lower;
        int upperId;
        QString upper;
        int faultId;
        QString message;
    };
    const QList<Case> cases = {
        {IDC_DEC_SOUTH, "50", IDC_DEC_NORTH, "40", IDC_DEC_SOUTH,
         "Enter an integer between -90 and 40."},
        {IDC_PERIOD_LEAST, "20", IDC_PERIOD_MOST, "10.5", IDC_PERIOD_LEAST,
         "Enter a number between 0 and 10.5."},
        {IDC_PERIOD_LEAST, "0", IDC_PERIOD_MOST, "0", IDC_PERIOD_MOST,
         "Enter a number above 0 and at most 100000."},
    };
    for (const Case& pair : cases) {
        Reopen();
        LoadExamples();
        m_dialogs.Forget();
        Type(pair.lowerId, pair.lower);
        Type(pair.upperId, pair.upper);
        Search();
        EXPECT_EQ(m_dialogs.Messages(), QStringList{pair.message});
        EXPECT_EQ(m_window->focusWidget(), Edit(pair.faultId));
        EXPECT_EQ(Edit(pair.faultId)->selectedText(), Edit(pair.faultId)->text());
        EXPECT_EQ(Edit(IDC_STARS_FOUND)->text(), "0");
        EXPECT_EQ(m_window->GetCatalog().GetDecSouth(), -90);
        EXPECT_EQ(m_window->GetCatalog().GetPeriodMost(), 10000.0);
    }
}

TEST_F(WindowTest, LoadKeepsWhatTheUserTypedAndTicked) {
    LoadExamples();
    Type(IDC_RA_WEST, "12");
    Type(IDC_MAG_MAX, "abc");
    Click(IDC_USE_MAGNITUDE);
    Click(IDC_NO_LIGHT_CURVE);
    Load(WriteFile("second.txt", ExampleStars().mid(0, 2)));
    EXPECT_EQ(Texts({IDC_RA_WEST, IDC_MAG_MAX}), QStringList({"12", "abc"}));
    EXPECT_EQ(Texts(kStatusFields), QStringList({"second.txt", "2", "0"}));
    EXPECT_FALSE(Button(IDC_USE_MAGNITUDE)->isChecked());
    EXPECT_TRUE(Button(IDC_NO_LIGHT_CURVE)->isChecked());
    EXPECT_EQ(EnabledStates(), kNoLightCurve);
    EXPECT_EQ(Edit(IDC_RA_WEST)->selectedText(), "12");

    Click(IDC_NO_LIGHT_CURVE);
    Load(PathOf("second.txt"));
    EXPECT_FALSE(Edit(IDC_MAG_MAX)->isEnabled());
    EXPECT_TRUE(Edit(IDC_PERIOD_MOST)->isEnabled());
    EXPECT_TRUE(Button(IDC_USE_MAGNITUDE)->isEnabled());
}

TEST_F(WindowTest, SavesWriteTheFormatThatTheNameAsksFor) {
    const QByteArray csv =
        "Hr,Min,Deg,Name,Type,Range,Desc,Max,Min,Period\r\n"
        "5,36,21,\"     RT Xyz\",\"M       \",\"  6.20 - 9.85 \",\"long-period giant   \","
        "6.2,9.85,371.5\r\n"
        "22,10,-5,\"  V1234 Xyz\",\"EA/SD   \",\"< 9.10 -10.35 \",\"eclipsing system    \","
        "9.1,10.35,12000.3\r\n"
        "0,12,0,\"          Q\",\"CST     \",\"              \",\"no light curve      \",0,0,0\r\n"
        "5,7,-5,\"     SS Abc\",\"EW      \",\"  5.10 - 5.60 \",\"short period        \","
        "5.1,5.6,1.5\r\n";
    QByteArray txt;
    for (const QByteArray& line : ExampleStars()) {
        txt += line + "\r\n";
    }
    struct Case {
        int command;
        QString name;
        QByteArray content;
    };
    LoadExamples();
    const QString existing = WriteFile("existing.txt", {QByteArray(500, 'x')});
    for (const Case& save :
         {Case{ID_FILE_SAVECSV, "stars.csv", csv}, Case{ID_FILE_SAVECSV, "stars.CSV", csv},
          Case{ID_FILE_SAVETXT, "upper.Csv", csv}, Case{ID_FILE_SAVETXT, "stars.txt", txt},
          Case{ID_FILE_SAVECSV, "stars.vot", txt}, Case{ID_FILE_SAVECSV, "existing.txt", txt}}) {
        m_dialogs.AnswerWith(PathOf(save.name));
        Trigger(save.command);
        EXPECT_EQ(ReadFile(PathOf(save.name)), save.content) << save.name.toStdString();
    }
    EXPECT_TRUE(m_dialogs.Messages().isEmpty());
    EXPECT_FALSE(m_dialogs.Requests().back().open);
    EXPECT_EQ(m_dialogs.Requests().back().defaultSuffix, "csv");
    EXPECT_EQ(Texts(kStatusFields), QStringList({"examples.txt", "4", "0"}));
}

TEST_F(WindowTest, FailedSaveIsReportedAndCancelledSaveIsNot) {
    Trigger(ID_FILE_SAVECSV);
    EXPECT_TRUE(m_dialogs.Messages().isEmpty());

    m_dialogs.AnswerWith(PathOf("nothing-loaded.csv"));
    Trigger(ID_FILE_SAVECSV);
    EXPECT_EQ(m_dialogs.Messages(), QStringList{kNoRecordsSaved});
    EXPECT_FALSE(QFile::exists(PathOf("nothing-loaded.csv")));

    LoadExamples();
    m_dialogs.Forget();
    m_dialogs.AnswerWith(PathOf("no-such-folder/stars.txt"));
    Trigger(ID_FILE_SAVETXT);
    EXPECT_EQ(m_dialogs.Messages(), QStringList{kNoRecordsSaved});

    Type(IDC_RA_WEST, "23");
    Type(IDC_RA_EAST, "1");
    Search();
    m_dialogs.Forget();
    m_dialogs.AnswerWith(PathOf("empty.csv"));
    Trigger(ID_FILE_SAVECSV);
    EXPECT_EQ(m_dialogs.Messages(), QStringList{kNoRecordsSaved});
    EXPECT_FALSE(QFile::exists(PathOf("empty.csv")));
}

TEST_F(WindowTest, SavingNoRowsLeavesTheChosenFileAlone) {
    struct Case {
        bool load;
        int command;
        QString name;
    };
    const QByteArray kept = "somebody's observations\n";
    for (const Case& save :
         {Case{false, ID_FILE_SAVECSV, "kept.csv"}, Case{false, ID_FILE_SAVETXT, "kept.txt"},
          Case{true, ID_FILE_SAVECSV, "kept.csv"}, Case{true, ID_FILE_SAVETXT, "kept.txt"}}) {
        Reopen();
        if (save.load) {
            LoadExamples();
            Type(IDC_RA_WEST, "12");
            Type(IDC_RA_EAST, "12");
            Type(IDC_DEC_NORTH, "-89");
            Search();
            ASSERT_EQ(RowCount(), 0);
        }
        const QString existing = WriteFile(save.name, {kept.chopped(1)});
        const QStringList before = QDir(PathOf("")).entryList(QDir::AllEntries | QDir::Hidden);
        m_dialogs.Forget();
        m_dialogs.AnswerWith(existing);
        Trigger(save.command);
        m_dialogs.AnswerWith(PathOf("new-" + save.name));
        Trigger(save.command);
        EXPECT_EQ(m_dialogs.Messages(), QStringList({kNoRecordsSaved, kNoRecordsSaved}));
        EXPECT_EQ(ReadFile(existing), kept) << save.name.toStdString() << " " << save.load;
        EXPECT_EQ(QDir(PathOf("")).entryList(QDir::AllEntries | QDir::Hidden), before);
    }
}

TEST_F(WindowTest, FieldsTheSearchDoesNotUseAreNeitherCheckedNorApplied) {
    struct Case {
        int box;
        QList<std::pair<int, QString>> typed;
        int faultId;
        QString message;
    };
    const QString magnitudeRange = "Enter a number between 0 and 99.";
    const QString notANumber = "Please enter a number.";
    const QList<Case> cases = {
        {IDC_USE_MAGNITUDE, {{IDC_MAG_MAX, "150"}}, IDC_MAG_MAX, magnitudeRange},
        {IDC_USE_MAGNITUDE, {{IDC_MAG_MIN, "abc"}}, IDC_MAG_MIN, notANumber},
        {IDC_USE_PERIOD,
         {{IDC_PERIOD_MOST, "200000"}},
         IDC_PERIOD_MOST,
         "Enter a number above 0 and at most 100000."},
        {IDC_USE_PERIOD,
         {{IDC_PERIOD_LEAST, "5000"}, {IDC_PERIOD_MOST, "1000"}},
         IDC_PERIOD_LEAST,
         "Enter a number between 0 and 1000."},
        {IDC_USE_PERIOD, {{IDC_PERIOD_LEAST, "x"}}, IDC_PERIOD_LEAST, notANumber},
        {IDC_NO_LIGHT_CURVE, {{IDC_MAG_MAX, "150"}}, IDC_MAG_MAX, magnitudeRange},
        {IDC_NO_LIGHT_CURVE, {{IDC_MAG_MIN, "-"}}, IDC_MAG_MIN, notANumber},
        {IDC_NO_LIGHT_CURVE,
         {{IDC_PERIOD_LEAST, "5000"}, {IDC_PERIOD_MOST, "1000"}},
         IDC_PERIOD_LEAST,
         "Enter a number between 0 and 1000."},
        {IDC_NO_LIGHT_CURVE, {{IDC_PERIOD_MOST, "1,5"}}, IDC_PERIOD_MOST, notANumber},
    };
    for (const Case& unused : cases) {
        const std::string label = QString::number(unused.faultId).toStdString() + " " +
                                  unused.typed.back().second.toStdString();
        Reopen();
        LoadExamples();
        Search();
        const CStarCatalog& catalog = m_window->GetCatalog();
        const auto limits = [&catalog] {
            return std::vector<double>{catalog.GetMaxMagLimit(), catalog.GetMinMagLimit(),
                                       catalog.GetPeriodLeast(), catalog.GetPeriodMost()};
        };
        const std::vector<double> accepted = limits();
        for (const auto& [id, text] : unused.typed) {
            Type(id, text);
        }
        Click(unused.box);
        Type(IDC_DEC_NORTH, "89");
        m_dialogs.Forget();
        Search();
        EXPECT_TRUE(m_dialogs.Messages().isEmpty()) << label;
        EXPECT_EQ(catalog.GetDecNorth(), 89) << label;
        EXPECT_EQ(limits(), accepted) << label;
        EXPECT_EQ(Edit(IDC_STARS_FOUND)->text(), QString::number(RowCount())) << label;
        EXPECT_GT(RowCount(), 0) << label;
        for (const auto& [id, text] : unused.typed) {
            EXPECT_EQ(Edit(id)->text(), text) << label;
        }

        // In use again, the field is checked as ever.
        Click(unused.box);
        Search();
        EXPECT_EQ(m_dialogs.Messages(), QStringList{unused.message}) << label;
        EXPECT_EQ(m_window->focusWidget(), Edit(unused.faultId)) << label;
        EXPECT_EQ(Edit(unused.faultId)->selectedText(), Edit(unused.faultId)->text()) << label;
        EXPECT_EQ(limits(), accepted) << label;

        // And Enter searches by the same rule.
        Click(unused.box);
        Type(IDC_DEC_NORTH, "88");
        m_dialogs.Forget();
        QTest::keyClick(Edit(IDC_RA_WEST), Qt::Key_Return);
        EXPECT_TRUE(m_window->isVisible()) << label;
        EXPECT_TRUE(m_dialogs.Messages().isEmpty()) << label;
        EXPECT_EQ(catalog.GetDecNorth(), 88) << label;
    }
}

TEST_F(WindowTest, EnterSearchesWhenEveryFieldPassesAndNeverCloses) {
    LoadExamples();
    Type(IDC_DEC_NORTH, "91");
    QTest::keyClick(Edit(IDC_DEC_NORTH), Qt::Key_Return);
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(m_dialogs.Messages(), QStringList{"Enter an integer between -90 and 90."});
    EXPECT_EQ(RowCount(), 0);

    Type(IDC_DEC_NORTH, "90");
    QTest::keyClick(Edit(IDC_DEC_NORTH), Qt::Key_Return);
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(Edit(IDC_STARS_FOUND)->text(), "1");
    EXPECT_EQ(RowCount(), 1);
}

TEST_F(WindowTest, EnterOnAButtonPressesIt) {
    LoadExamples();
    Button(IDC_SEARCH_ASC)->setFocus();
    QTest::keyClick(Button(IDC_SEARCH_ASC), Qt::Key_Return);
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(Edit(IDC_STARS_FOUND)->text(), "1");
}

TEST_F(WindowTest, EscapeAndExitClose) {
    QTest::keyClick(m_window.get(), Qt::Key_Escape);
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(m_window->result(), QDialog::Rejected);

    Reopen();
    LoadExamples();
    Search();
    Trigger(ID_FILE_EXIT);
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_TRUE(m_dialogs.Messages().isEmpty());
}

TEST_F(WindowTest, AboutBoxShowsIconVersionAndLeavesTheWindowAlone) {
    LoadExamples();
    Search();
    const QStringList before = Texts(kStatusFields);
    bool seen = false;
    OnNextModal([&seen](QWidget* modal) {
        auto* about = qobject_cast<CAboutDlg*>(modal);
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(about->windowTitle(), "About Lumara");
        QStringList texts;
        bool hasIcon = false;
        for (const QLabel* label : about->findChildren<QLabel*>()) {
            texts.append(label->text());
            hasIcon = hasIcon || !label->pixmap().isNull();
        }
        EXPECT_TRUE(texts.contains("Lumara Version 1.01"));
        EXPECT_TRUE(hasIcon);
        EXPECT_FALSE(about->windowIcon().isNull());
        EXPECT_EQ(about->minimumSize(), about->maximumSize());
        seen = true;
        QTest::mouseClick(qobject_cast<QPushButton*>(about->GetDlgItem(IDOK)), Qt::LeftButton);
    });
    Trigger(ID_HELP_ABOUT);
    EXPECT_TRUE(seen);
    EXPECT_EQ(Texts(kStatusFields), before);
    EXPECT_EQ(RowCount(), 1);
}

TEST(UserDialogsTest, MessageBoxIsAWarningNamedAfterTheExecutable) {
    const QString previousName = QCoreApplication::applicationName();
    ApplyApplicationLook("/opt/somewhere/Stars.exe");
    bool seen = false;
    OnNextModal([&seen](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "Stars");
        EXPECT_EQ(box->text(), "Data File Error!");
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        seen = true;
        box->button(QMessageBox::Ok)->click();
    });
    QtUserDialogs dialogs;
    dialogs.ShowMessage(nullptr, "Data File Error!");
    EXPECT_TRUE(seen);
    QCoreApplication::setApplicationName(previousName);
}

TEST_F(WindowTest, HundredThousandStarsFillTheList) {
    constexpr int kStars = 100000;
    constexpr int kHours = 24;
    constexpr int kMinutes = 60;
    QList<QByteArray> lines;
    lines.reserve(kStars);
    for (int star = 0; star < kStars; ++star) {
        const QByteArray position = QByteArray::number(star % kHours).rightJustified(2, '0') +
                                    QByteArray::number(star % kMinutes).rightJustified(2, '0') +
                                    "+10";
        lines.append(StarLine(position.constData(), QByteArray::number(star).constData(), "M",
                              "  5.00 - 6.00", "   1.5", "generated"));
    }
    Load(WriteFile("many.txt", lines));
    ASSERT_EQ(Edit(IDC_RECORDS_LOADED)->text(), QString::number(kStars));
    Search();
    EXPECT_EQ(Edit(IDC_STARS_FOUND)->text(), QString::number(kStars));
    ASSERT_EQ(RowCount(), kStars);
    // Showing the rows walks nothing: the cursor stays where the search put
    // it.
    const CStarCatalog& catalog = m_window->GetCatalog();
    EXPECT_EQ(catalog.GetCursorResult(), catalog.GetFirstResult());
    EXPECT_FALSE(catalog.IsEOF());
    EXPECT_EQ(Row(kStars - 1)[0], "15:39");

    // Rows are read in any order, each from wherever the last one was.
    const std::vector<int> scattered = {
        kStars - 1, 0, kStars / 2, kStars / 2 - 1, 1, kStars - 2, kStars / 3, 2 * kStars / 3, 0};
    for (const bool ascending : {true, false}) {
        Click(ascending ? IDC_SEARCH_ASC : IDC_SEARCH_DESC);
        ASSERT_EQ(RowCount(), kStars);
        for (const int row : scattered) {
            const int star = ascending ? row : kStars - 1 - row;
            EXPECT_EQ(Row(row)[2].trimmed(), QString::number(star)) << row << " " << ascending;
        }
    }

    // The selection stays while the list scrolls away and back.
    QItemSelectionModel* selection = List()->selectionModel();
    for (const int row : {1, kStars / 2, kStars - 2}) {
        selection->select(List()->model()->index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    const QModelIndexList selected = selection->selectedRows();
    List()->scrollToBottom();
    QApplication::processEvents();
    List()->scrollToTop();
    QApplication::processEvents();
    EXPECT_EQ(selection->selectedRows(), selected);
    EXPECT_EQ(selected.size(), 3);
}
