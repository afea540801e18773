// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The window's finding and planning: the name and type fields, sorting by a
// column header, the Site and Night dialog, "Observable tonight" and "With a
// minimum or maximum tonight" with their columns, line and chart, resizing,
// and copying rows.
#include "WindowFixture.h"

#include "AltitudeChart.h"
#include "SiteDlg.h"
#include "StarColumns.h"
#include "Tonight.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <map>

namespace {
namespace plan = lumara::plan;

const QString kAmsterdamNight = QStringLiteral("2026-12-08");

// The names the rows show, trimmed, in row order.
QStringList Names(const QTableView* list) {
    QStringList names;
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        names.append(list->model()->index(row, 2).data().toString().trimmed());
    }
    return names;
}

// Fills in the Site and Night dialog's fields and presses OK.
void FillSite(CDialog* site, const std::map<int, QString>& fields) {
    for (const auto& [id, text] : fields) {
        site->GetEditField(id)->setText(text);
    }
    qobject_cast<QPushButton*>(site->GetDlgItem(IDOK))->click();
}

const std::map<int, QString> kAmsterdam = {{IDC_SITE_LATITUDE, "52.37"},
                                           {IDC_SITE_LONGITUDE, "4 54 E"},
                                           {IDC_SITE_ZONE, "Europe/Amsterdam"},
                                           {IDC_SITE_NIGHT, kAmsterdamNight}};

// The night kAmsterdam gives, as the library prepares it for the window.
std::shared_ptr<const lumara::TonightContext> AmsterdamNight() {
    plan::PlanSettings settings;
    settings.site = plan::Site{52.37, 4.9, 0.0};
    settings.zone = "Europe/Amsterdam";
    auto night = std::make_shared<lumara::TonightContext>();
    EXPECT_EQ(
        lumara::PrepareTonight(settings, {2026, 12, 8}, *night, CLumaraGUIDlg::NEXT_EVENT_NIGHTS),
        plan::NightStatus::Ok);
    return night;
}

// The stars of the catalogue's result list in the order it gives them.
std::vector<const StarRecord*> ResultStars(const CStarCatalog& catalog) {
    std::vector<const StarRecord*> stars;
    if (catalog.IsSorted()) {
        for (std::int32_t row = 0; catalog.GetSortedResult(row) != nullptr; ++row) {
            stars.push_back(catalog.GetSortedResult(row)->record);
        }
    } else {
        for (const ResultNode* node = catalog.GetFirstResult(); node != nullptr;
             node = node->next) {
            stars.push_back(node->record);
        }
    }
    return stars;
}

std::size_t ColumnOf(lumara::ListColumnId id) {
    const std::span<const lumara::ListColumn> columns = lumara::ListColumns();
    return static_cast<std::size_t>(
        std::find_if(columns.begin(), columns.end(),
                     [id](const lumara::ListColumn& column) { return column.id == id; }) -
        columns.begin());
}
} // namespace

class FindWindowTest : public WindowTest {
protected:
    // The four example stars listed whatever their light curve.
    void SearchAllExamples() {
        LoadExamples();
        Click(IDC_USE_MAGNITUDE);
        Click(IDC_USE_PERIOD);
        Search();
    }
    void ClickHeader(int column) {
        QHeaderView* header = List()->horizontalHeader();
        const QPoint middle(header->sectionViewportPosition(column) +
                                header->sectionSize(column) / 2,
                            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
    }
    // Opens the Site and Night dialog, fills it in as given and accepts it.
    void SetSite(const std::map<int, QString>& fields) {
        OnNextModal([&fields](QWidget* modal) { FillSite(qobject_cast<CDialog*>(modal), fields); });
        Trigger(ID_OBSERVE_SITE);
    }
    QComboBox* TypeBox() const { return qobject_cast<QComboBox*>(m_window->GetDlgItem(IDC_TYPE)); }
    // Every row shows, in every column, the cells the library gives the
    // star in the same place of its result list.
    void ExpectTheLibrarysRows(const CStarCatalog& catalog, const lumara::TonightContext& night) {
        const std::vector<const StarRecord*> stars = ResultStars(catalog);
        ASSERT_EQ(RowCount(), static_cast<int>(stars.size()));
        const std::span<const lumara::ListColumn> columns = lumara::ListColumns();
        ASSERT_EQ(List()->model()->columnCount(), static_cast<int>(columns.size()));
        for (int row = 0; row < RowCount(); ++row) {
            const StarRecord& record = *stars[static_cast<std::size_t>(row)];
            const lumara::StarTonight star = lumara::ObserveRecord(night, record);
            for (std::size_t column = 0; column < columns.size(); ++column) {
                EXPECT_EQ(List()
                              ->model()
                              ->index(row, static_cast<int>(column))
                              .data()
                              .toString()
                              .toStdString(),
                          lumara::CellText(columns[column].id, record, &night, &star))
                    << row << " " << columns[column].title;
            }
        }
    }
};

TEST_F(FindWindowTest, NameAndTypeFieldsNarrowTheSearch) {
    SearchAllExamples();
    const auto found = [this](const QString& name, const QString& type) {
        Type(IDC_NAME, name);
        TypeBox()->setEditText(type);
        m_dialogs.Forget();
        Search();
        EXPECT_TRUE(m_dialogs.Messages().isEmpty())
            << m_dialogs.Messages().join('\n').toStdString();
        return Names(List());
    };
    EXPECT_EQ(found("rt  xyz", ""), QStringList{"RT Xyz"});
    EXPECT_EQ(found("Xyz", ""), QStringList({"RT Xyz", "V1234 Xyz"}));
    EXPECT_EQ(found("T Xyz", ""), QStringList()) << "a name is matched from a word's start";
    EXPECT_EQ(found("", "E*"), QStringList({"V1234 Xyz", "SS Abc"}));
    EXPECT_EQ(found("", "sd"), QStringList{"V1234 Xyz"}) << "each code of a compound type";
    EXPECT_EQ(found("xyz", "EA, M"), QStringList({"RT Xyz", "V1234 Xyz"}));

    // A family picked from the list: the Miras, not every type beginning in M.
    const int miras = TypeBox()->findText("Miras");
    ASSERT_GT(miras, 0);
    TypeBox()->setCurrentIndex(miras);
    Type(IDC_NAME, "");
    Search();
    EXPECT_EQ(Names(List()), QStringList{"RT Xyz"});
    EXPECT_EQ(Edit(IDC_STARS_FOUND)->text(), "1");
}

TEST_F(FindWindowTest, BadNameOrTypeIsRefusedOnItsField) {
    SearchAllExamples();
    struct Case {
        int id;
        QString text;
    };
    for (const Case& refused :
         {Case{IDC_TYPE, "M,,SR"}, Case{IDC_TYPE, "EA/SD"}, Case{IDC_NAME, QString(65, 'x')}}) {
        Type(IDC_NAME, "");
        TypeBox()->setEditText("");
        QLineEdit* field = m_window->GetEditField(refused.id);
        field->setText(refused.text);
        m_dialogs.Forget();
        Search();
        ASSERT_EQ(m_dialogs.Messages().size(), 1) << refused.text.toStdString();
        EXPECT_FALSE(m_dialogs.Messages().front().isEmpty());
        EXPECT_TRUE(field->hasFocus()) << refused.text.toStdString();
        EXPECT_EQ(field->selectedText(), refused.text);
        EXPECT_EQ(RowCount(), 4) << "the list stands";
    }
    // The type's message names the pattern at fault.
    Type(IDC_NAME, "");
    TypeBox()->setEditText("M,,SR");
    m_dialogs.Forget();
    Search();
    EXPECT_TRUE(m_dialogs.Messages().front().contains("2"))
        << m_dialogs.Messages().front().toStdString();
}

TEST_F(FindWindowTest, EnterInTheNameOrTypeFieldSearches) {
    SearchAllExamples();
    Type(IDC_NAME, "SS Abc");
    QTest::keyClick(Edit(IDC_NAME), Qt::Key_Return);
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(Names(List()), QStringList{"SS Abc"});

    Type(IDC_NAME, "");
    TypeBox()->setFocus();
    TypeBox()->setEditText("M");
    QTest::keyClick(TypeBox()->lineEdit(), Qt::Key_Enter);
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(Names(List()), QStringList{"RT Xyz"});

    QTest::keyClick(TypeBox()->lineEdit(), Qt::Key_Escape);
    EXPECT_FALSE(m_window->isVisible());
}

TEST_F(FindWindowTest, HeaderClicksSortBothWaysAndSearchesReturnToCatalogueOrder) {
    SearchAllExamples();
    const QStringList catalogueOrder = {"RT Xyz", "V1234 Xyz", "Q", "SS Abc"};
    ASSERT_EQ(Names(List()), catalogueOrder);
    QHeaderView* header = List()->horizontalHeader();
    constexpr int kName = 2;
    constexpr int kPeriod = 5;

    // Q gives no period: last in both directions.
    ClickHeader(kPeriod);
    EXPECT_EQ(Names(List()), QStringList({"SS Abc", "RT Xyz", "V1234 Xyz", "Q"}));
    EXPECT_EQ(header->sortIndicatorSection(), kPeriod);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    ClickHeader(kPeriod);
    EXPECT_EQ(Names(List()), QStringList({"V1234 Xyz", "RT Xyz", "SS Abc", "Q"}));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    ClickHeader(kName);
    EXPECT_EQ(Names(List()), QStringList({"Q", "RT Xyz", "SS Abc", "V1234 Xyz"}));
    EXPECT_EQ(header->sortIndicatorSection(), kName);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);

    // Save writes the rows as shown.
    m_dialogs.AnswerWith(PathOf("sorted.txt"));
    Trigger(ID_FILE_SAVETXT);
    QStringList saved;
    for (const QByteArray& line : ReadFile(PathOf("sorted.txt")).split('\n')) {
        if (!line.trimmed().isEmpty()) {
            saved.append(QString::fromLatin1(line.mid(10, 11)).trimmed());
        }
    }
    EXPECT_EQ(saved, Names(List()));

    Click(IDC_SEARCH_DESC);
    EXPECT_EQ(Names(List()), QStringList({"SS Abc", "Q", "V1234 Xyz", "RT Xyz"}));
    EXPECT_EQ(header->sortIndicatorSection(), -1);
    ClickHeader(kName);
    Search();
    EXPECT_EQ(Names(List()), catalogueOrder);
    EXPECT_EQ(header->sortIndicatorSection(), -1);
    EXPECT_FALSE(m_window->GetCatalog().IsSorted());
}

TEST_F(FindWindowTest, ResizingGivesTheListTheRoomAndTheSizeIsRemembered) {
    LoadExamples();
    const QRect list = List()->geometry();
    const QRect west = Edit(IDC_RA_WEST)->geometry();
    const QRect criteria = m_window->GetDlgItem(IDC_CRITERIA_GROUP)->geometry();
    const QSize grown = m_window->size() + QSize(230, 170);
    m_window->resize(grown);
    QApplication::processEvents();
    EXPECT_EQ(List()->geometry(), list.adjusted(0, 0, 230, 170));
    EXPECT_EQ(Edit(IDC_RA_WEST)->geometry(), west);
    EXPECT_EQ(m_window->GetDlgItem(IDC_CRITERIA_GROUP)->geometry(), criteria);

    // Smaller than the template it does not get.
    m_window->resize(100, 100);
    QApplication::processEvents();
    EXPECT_EQ(List()->geometry(), list);

    m_window->resize(grown);
    List()->horizontalHeader()->resizeSection(2, 151);
    Trigger(ID_FILE_EXIT);
    EXPECT_TRUE(QFile::exists(PathOf("config/lumara/window.ini")));
    Reopen();
    EXPECT_EQ(m_window->size(), grown);
    LoadExamples();
    Search();
    EXPECT_EQ(List()->columnWidth(2), 151) << "a search keeps the width";
}

TEST_F(FindWindowTest, CtrlACtrlCCopiesTheSelectedRowsAsTabSeparatedText) {
    SearchAllExamples();
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(List()->selectionModel()->selectedRows().size(), 4);

    List()->clearSelection();
    for (const int row : {3, 0}) {
        List()->selectionModel()->select(List()->model()->index(row, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(List(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              "R.A.\tDec.\tName\tType\tMagnitude\tPeriod\tDescription\n"
              "05:36\t21\tRT Xyz\tM\t6.20 - 9.85\t371.5000\tlong-period giant\n"
              "05:07\t-05\tSS Abc\tEW\t5.10 - 5.60\t1.5000\tshort period\n");

    // A tab of the catalogue's own does not start a cell.
    Load(WriteFile("tabs.txt", {StarLine("0507-05", "SS\tAbc", "EW", "  5.10 - 5.60", "   1.5",
                                         "short\tperiod")}));
    Search();
    ASSERT_EQ(RowCount(), 1);
    List()->setFocus();
    List()->selectAll();
    QTest::keyClick(List(), Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[1].split('\t'), QStringList({"05:07", "-05", "SS Abc", "EW", "5.10 - 5.60",
                                                 "1.5000", "short period"}));
}

TEST_F(FindWindowTest, SiteDialogRefusesWhatIsNoPlaceAndRemembersTheSite) {
    struct Case {
        int id;
        QString text;
        std::string message;
    };
    const QList<Case> refusals = {
        {IDC_SITE_LATITUDE, "95", plan::ParseQuantity(plan::Quantity::Latitude, "95").error},
        {IDC_SITE_LONGITUDE, "4.9 Q",
         plan::ParseQuantity(plan::Quantity::Longitude, "4.9 Q").error},
        {IDC_SITE_ZONE, "Mars/Olympus", plan::ParseZone("Mars/Olympus").error},
        {IDC_SITE_NIGHT, "2026-02-30", plan::ParseDate("2026-02-30").error},
        {IDC_SITE_TWILIGHT, "dusk", plan::ParseQuantity(plan::Quantity::Twilight, "dusk").error},
        {IDC_SITE_MIN_HOURS, "-1", plan::ParseQuantity(plan::Quantity::MinHours, "-1").error},
    };
    for (const Case& refused : refusals) {
        ASSERT_FALSE(refused.message.empty()) << refused.text.toStdString();
        m_dialogs.Forget();
        bool stayed = false;
        OnNextModal([&](QWidget* modal) {
            auto* site = qobject_cast<CDialog*>(modal);
            std::map<int, QString> fields = kAmsterdam;
            fields[refused.id] = refused.text;
            FillSite(site, fields);
            // The field has the focus, the combo box's or the edit's own.
            stayed = site->isVisible() &&
                     EditFieldOf(site->focusWidget()) == site->GetEditField(refused.id) &&
                     site->GetEditField(refused.id)->selectedText() == refused.text;
            qobject_cast<QPushButton*>(site->GetDlgItem(IDCANCEL))->click();
        });
        Trigger(ID_OBSERVE_SITE);
        EXPECT_TRUE(stayed) << refused.text.toStdString();
        EXPECT_EQ(m_dialogs.Messages(), QStringList{QString::fromStdString(refused.message)});
    }
    EXPECT_FALSE(QFile::exists(PathOf("config/lumara/site.conf")));

    std::map<int, QString> site = kAmsterdam;
    site[IDC_SITE_LATITUDE] = "52 22 12 N";
    site[IDC_SITE_TWILIGHT] = "nautical";
    site[IDC_SITE_NIGHT] = "2026-06-21";
    SetSite(site);
    const lumara::SettingsLoad saved = lumara::LoadPlanSettings();
    ASSERT_TRUE(saved.found) << saved.problem;
    ASSERT_TRUE(saved.settings.site);
    EXPECT_NEAR(saved.settings.site->latitudeDeg, 52.37, 1e-9);
    EXPECT_NEAR(saved.settings.site->longitudeDeg, 4.9, 1e-9);
    EXPECT_EQ(saved.settings.zone, "Europe/Amsterdam");
    EXPECT_EQ(saved.settings.twilightDeg, plan::kNauticalTwilight);

    // A new run shows the site remembered and tonight's date, not the one given.
    Reopen();
    plan::CivilDate tonight;
    ASSERT_EQ(lumara::TonightDate(saved.settings, tonight), plan::NightStatus::Ok);
    QStringList shown;
    OnNextModal([&shown](QWidget* modal) {
        auto* dialog = qobject_cast<CDialog*>(modal);
        for (const int id : {IDC_SITE_LATITUDE, IDC_SITE_LONGITUDE, IDC_SITE_ZONE, IDC_SITE_NIGHT,
                             IDC_SITE_TWILIGHT}) {
            shown.append(dialog->GetEditField(id)->text());
        }
        dialog->reject();
    });
    Trigger(ID_OBSERVE_SITE);
    EXPECT_EQ(shown, QStringList({"52.37", "4.9", "Europe/Amsterdam",
                                  QString::fromStdString(plan::FormatDate(tonight)), "nautical"}));
}

TEST_F(FindWindowTest, TonightWithoutASiteAsksForOne) {
    LoadExamples();
    for (const int box : {IDC_TONIGHT, IDC_EVENT_TONIGHT}) {
        OnNextModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
        Click(box);
        EXPECT_FALSE(Button(box)->isChecked()) << box << ": no site, no test";
    }

    OnNextModal([](QWidget* modal) { FillSite(qobject_cast<CDialog*>(modal), kAmsterdam); });
    Click(IDC_EVENT_TONIGHT);
    EXPECT_TRUE(Button(IDC_EVENT_TONIGHT)->isChecked());
    EXPECT_TRUE(m_dialogs.Messages().isEmpty());
}

TEST_F(FindWindowTest, TonightShowsTheLibrarysRowsColumnsNightAndChart) {
    Load(QStringLiteral(LUMARA_DEMO_CATALOGUE));
    SetSite(kAmsterdam);
    Click(IDC_TONIGHT);
    Search();
    ASSERT_TRUE(m_dialogs.Messages().isEmpty()) << m_dialogs.Messages().join('\n').toStdString();

    // The library's own search of the same night.
    const std::shared_ptr<const lumara::TonightContext> night = AmsterdamNight();
    lumara::SearchCriteria criteria = lumara::kWindowCriteria;
    criteria.tonight = night;
    CStarCatalog catalog;
    ASSERT_GT(catalog.LoadCatalog(LUMARA_DEMO_CATALOGUE), 0);
    const std::int32_t found = catalog.Search(criteria);
    ASSERT_GT(found, 0);
    ExpectTheLibrarysRows(catalog, *night);
    EXPECT_EQ(Edit(IDC_STARS_FOUND)->text(), QString::number(found));

    auto* line = qobject_cast<QLabel*>(m_window->GetDlgItem(IDC_NIGHT_LINE));
    EXPECT_TRUE(line->isVisible());
    EXPECT_EQ(line->text(), QString::fromStdString(lumara::DescribeNight(*night)));
    EXPECT_TRUE(line->text().startsWith("Dark ")) << line->text().toStdString();

    // The chart follows the selected star: its highest point is the transit
    // the library gives.
    const AltitudeChart& chart = m_window->GetAltitudeChart();
    EXPECT_TRUE(chart.isVisible());
    EXPECT_TRUE(chart.Curve().empty());
    const int selected = found / 2;
    List()->setCurrentIndex(List()->model()->index(selected, 0));
    const ResultNode* node = catalog.GetFirstResult();
    for (int skipped = 0; skipped < selected; ++skipped) {
        node = node->next;
    }
    const lumara::StarTonight star = lumara::ObserveRecord(*night, *node->record);
    EXPECT_EQ(chart.StarName(), Names(List())[selected]);
    ASSERT_FALSE(chart.Curve().empty());
    EXPECT_EQ(chart.Curve().front().seconds, night->night.startSeconds);
    const auto highest = std::max_element(
        chart.Curve().begin(), chart.Curve().end(),
        [](const auto& a, const auto& b) { return a.altitudeDeg < b.altitudeDeg; });
    EXPECT_NEAR(highest->altitudeDeg, star.night.transitAltitudeDeg, 0.2);
    EXPECT_NEAR(highest->seconds, static_cast<double>(star.night.transit) * 60.0, 300.0);

    // Sorting by a tonight column, and back without the night.
    ClickHeader(7);
    EXPECT_TRUE(m_window->GetCatalog().IsSorted());
    Click(IDC_TONIGHT);
    Search();
    EXPECT_EQ(List()->model()->columnCount(), 7);
    EXPECT_FALSE(line->isVisible());
    EXPECT_FALSE(chart.isVisible());
    EXPECT_GT(RowCount(), found);
}

TEST_F(FindWindowTest, MinimaAndMaximaTonightAreTheLibrarysInTheListItsOrderAndTheChart) {
    const QString vsx = PathOf("vsx.dat");
    ASSERT_EQ(
        QProcess::execute(QStringLiteral(LUMARA_MAKE_CATALOGUE),
                          {"--stars", "3000", "--seed", "5", "--format", "vsx", "--output", vsx}),
        0);
    Load(vsx);
    Click(IDC_USE_MAGNITUDE);
    Click(IDC_USE_PERIOD);
    SetSite(kAmsterdam);
    Click(IDC_EVENT_TONIGHT);
    Search();
    ASSERT_TRUE(m_dialogs.Messages().isEmpty()) << m_dialogs.Messages().join('\n').toStdString();

    // The library's own searches of the same night, box for box.
    const std::shared_ptr<const lumara::TonightContext> night = AmsterdamNight();
    lumara::SearchCriteria criteria = lumara::kWindowCriteria;
    criteria.useMagnitude = false;
    criteria.usePeriod = false;
    criteria.tonight = night;
    criteria.observableTonight = false;
    criteria.eventTonight = true;
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(vsx.toLocal8Bit().constData()), 3000);
    const std::int32_t withEvents = catalog.Search(criteria);
    ASSERT_GT(withEvents, 0);
    EXPECT_LT(withEvents, 3000) << "the test narrows the list";
    ExpectTheLibrarysRows(catalog, *night);

    Click(IDC_TONIGHT);
    Search();
    criteria.observableTonight = true;
    ASSERT_GT(catalog.Search(criteria), 0);
    ExpectTheLibrarysRows(catalog, *night);

    // Without the events' test, the Next event column looks at the nights
    // ahead too.
    Click(IDC_EVENT_TONIGHT);
    Search();
    criteria.eventTonight = false;
    ASSERT_GT(catalog.Search(criteria), withEvents);
    ExpectTheLibrarysRows(catalog, *night);
    const int nextEvent = static_cast<int>(ColumnOf(lumara::ListColumnId::NextEvent));
    bool later = false;
    for (int row = 0; row < RowCount(); ++row) {
        later = later || Row(row)[nextEvent].startsWith('+');
    }
    EXPECT_TRUE(later) << "a star whose next event falls on a later night";

    List()->scrollTo(List()->model()->index(0, nextEvent));
    ClickHeader(nextEvent);
    const lumara::SortBy byEvent{lumara::SortField::NextEvent, false};
    ASSERT_GE(catalog.SortResults({&byEvent, 1}, night.get()), 0);
    ExpectTheLibrarysRows(catalog, *night);

    // The chart marks the selected star's events of tonight, not those of
    // the nights after.
    const std::vector<const StarRecord*> stars = ResultStars(catalog);
    std::vector<plan::StarEvent> events;
    std::size_t row = 0;
    for (; row < stars.size(); ++row) {
        events.clear();
        lumara::EventsOf(*night, *stars[row], events);
        if (!events.empty() && events.front().night == 0 && events.back().night > 0) {
            break;
        }
    }
    ASSERT_LT(row, stars.size()) << "a star with events tonight and later";
    List()->setCurrentIndex(List()->model()->index(static_cast<int>(row), 0));
    std::erase_if(events, [](const plan::StarEvent& event) { return event.night != 0; });
    const std::vector<AltitudeChart::EventMark>& marks = m_window->GetAltitudeChart().Marks();
    ASSERT_EQ(marks.size(), events.size());
    for (std::size_t mark = 0; mark < marks.size(); ++mark) {
        const double at = static_cast<double>(events[mark].at) * plan::kSecondsPerMinute;
        const double halfEclipse = events[mark].durationMinutes * plan::kSecondsPerMinute / 2;
        EXPECT_EQ(marks[mark].name, QString::fromStdString(lumara::EventName(events[mark])));
        EXPECT_EQ(marks[mark].seconds, at);
        EXPECT_EQ(marks[mark].fromSeconds, at - halfEclipse);
        EXPECT_EQ(marks[mark].toSeconds, at + halfEclipse);
    }
}

// An Algol star made up for the test, in GCVS 5.1's layout: its epoch and
// period put a primary minimum at 2026-12-08 21:00 UTC in heliocentric time,
// and its eclipse lasts 10 % of its period (the D column).
constexpr const char* kAlgolStar =
    "010001 |XX Per     |030810.13 +405720.3 |EA        |  2.1    |    3.4     |            "
    "|V |57082.41855 |     |  2.8673043         |10   |B8V              |00001      |          "
    " |             |        | |         |          |          |";
constexpr double kAlgolPeriodDays = 2.8673043;

TEST_F(FindWindowTest, AnEclipseIsMarkedAtItsMinimumForAsLongAsItLasts) {
    Load(WriteFile("algol.txt", {kAlgolStar}));
    SetSite(kAmsterdam);
    Click(IDC_EVENT_TONIGHT);
    Search();
    ASSERT_EQ(RowCount(), 1);
    List()->setCurrentIndex(List()->model()->index(0, 0));

    const std::vector<AltitudeChart::EventMark>& marks = m_window->GetAltitudeChart().Marks();
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].name, "min");
    // The light reaches the Earth before the Sun by at most 8.3 minutes.
    using namespace std::chrono;
    const auto minimum = sys_days{year{2026} / December / 8} + hours{21};
    const auto heliocentric = static_cast<double>(minimum.time_since_epoch() / 1s);
    EXPECT_NEAR(marks[0].seconds, heliocentric, 8.5 * plan::kSecondsPerMinute);
    EXPECT_NEAR(marks[0].toSeconds - marks[0].fromSeconds, 0.1 * kAlgolPeriodDays * 86400.0,
                plan::kSecondsPerMinute);
    EXPECT_NEAR((marks[0].fromSeconds + marks[0].toSeconds) / 2, marks[0].seconds, 1.0);
    const QString cell = Row(0)[static_cast<int>(ColumnOf(lumara::ListColumnId::NextEvent))];
    EXPECT_TRUE(cell.startsWith("min ") && cell.endsWith(" (6.9 h)")) << cell.toStdString();
}
