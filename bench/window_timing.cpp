// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Times the real search window on a large catalogue: from a press of
// "Search Asc." on a search that matches every star until the list has
// painted its first rows, next to the catalogue's Search call alone on the
// same file. Then drags the scroll bar to the end and reports whether any row
// was formatted for display that never came into view. Then times the same
// search with "Observable tonight" on (Amsterdam, tonight; preparing the
// night included) beside the search without it, round for round, and a
// click on the "Magnitude" header until the sorted list has painted its
// first rows. Prints one JSON object; runs on the offscreen platform unless
// QT_QPA_PLATFORM names another. The site goes to a settings folder of its
// own, never the user's.
//
//   window_timing [--stars=N] [--dir=DIR] [--rounds=R]
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <set>
#include <utility>
#include <vector>

#include "BenchSetup.h"
#include "LumaraGUIDlg.h"
#include "Resource.h"
#include "StarCatalog.h"
#include "StarColumns.h"
#include "Tonight.h"
#include "UserDialogs.h"

namespace {

constexpr long long kDefaultStars = 1'000'000;
constexpr int kDefaultRounds = 9;
constexpr double kNsPerMs = 1e6;
// A paint that has not come after this long will not come.
constexpr qint64 kPaintTimeoutMs = 60'000;
// The site whose night "Observable tonight" asks about.
constexpr double kSiteLatitude = 52.37;
constexpr double kSiteLongitude = 4.90;
constexpr const char* kSiteZone = "Europe/Amsterdam";

// Passes everything through and notes which rows the view asked to format.
class FormatCounter : public QIdentityProxyModel {
public:
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::DisplayRole) {
            ++calls;
            rows.insert(index.row());
        }
        return QIdentityProxyModel::data(index, role);
    }
    void Forget() {
        calls = 0;
        rows.clear();
    }

    mutable long long calls = 0;
    mutable std::set<int> rows;
};

// Notes each paint of the list and the rows in view while it paints.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QTableView& view) : list(view) {
        list.viewport()->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == list.viewport() && event->type() == QEvent::Paint) {
            painted = true;
            const int first = list.rowAt(0);
            const int lastInView = list.rowAt(list.viewport()->height() - 1);
            if (first >= 0) {
                shown.emplace_back(first,
                                   lastInView >= 0 ? lastInView : list.model()->rowCount() - 1);
            }
        }
        return false;
    }
    bool WasShown(int row) const {
        return std::any_of(shown.begin(), shown.end(), [row](const std::pair<int, int>& range) {
            return row >= range.first && row <= range.second;
        });
    }
    long long RowsShown() const {
        std::set<int> rows;
        for (const auto& [first, last] : shown) {
            for (int row = first; row <= last; ++row) {
                rows.insert(row);
            }
        }
        return static_cast<long long>(rows.size());
    }
    void Forget() {
        painted = false;
        shown.clear();
    }

    bool painted = false;

private:
    QTableView& list;
    std::vector<std::pair<int, int>> shown;
};

// Runs the event loop until the list has painted; false on a timeout.
bool AwaitPaint(const PaintWatch& watch) {
    QElapsedTimer waited;
    waited.start();
    while (!watch.painted) {
        if (waited.elapsed() > kPaintTimeoutMs) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents);
    }
    return true;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

int Fail(const char* what) {
    std::fprintf(stderr, "window_timing: %s\n", what);
    return 1;
}

// Remembers the benchmark's site in `folder`, where the window will read it.
bool UseSite(const QTemporaryDir& folder) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.path()));
    lumara::plan::PlanSettings settings;
    settings.site = lumara::plan::Site{kSiteLatitude, kSiteLongitude, 0.0};
    settings.zone = kSiteZone;
    std::string problem;
    return lumara::SavePlanSettings(settings, problem);
}

// The list's column sorted by a star's magnitude.
int MagnitudeColumn() {
    const auto columns = lumara::ListColumns();
    const auto found = std::find_if(columns.begin(), columns.end(), [](const auto& column) {
        return column.sortBy == lumara::SortField::MaxMag;
    });
    return static_cast<int>(found - columns.begin());
}

double MsSince(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / kNsPerMs;
}

// Presses a button and waits for the list's next paint; the milliseconds
// until then, or a negative number on a timeout.
double PressAndAwaitPaint(QAbstractButton& button, PaintWatch& watch) {
    QElapsedTimer timer;
    watch.Forget();
    timer.start();
    button.click();
    return AwaitPaint(watch) ? MsSince(timer) : -1.0;
}

} // namespace

int main(int argc, char** argv) {
    lumara::bench::Options options{{kDefaultStars}};
    options.rounds = kDefaultRounds;
    const std::string path = lumara::bench::OneCatalogue(
        argc, argv, options, "window_timing [--stars=N] [--dir=DIR] [--rounds=R]");
    if (path.empty()) {
        return 1;
    }
    const long long stars = options.stars.front();
    const int rounds = options.rounds;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const QTemporaryDir settingsFolder;
    if (!UseSite(settingsFolder)) {
        return Fail("the site could not be written");
    }

    ScriptedUserDialogs dialogs;
    CLumaraGUIDlg window(dialogs);
    window.show();
    dialogs.AnswerWith(QString::fromLocal8Bit(path.c_str()));
    window.GetCommand(ID_FILE_LOADDATA)->trigger();
    if (!dialogs.Messages().isEmpty() || !window.GetCatalog().IsLoaded()) {
        return Fail("the window could not load the catalogue");
    }
    // Every star matches once only position decides.
    for (const int box : {IDC_USE_MAGNITUDE, IDC_USE_PERIOD}) {
        auto* button = qobject_cast<QAbstractButton*>(window.GetDlgItem(box));
        if (button->isChecked()) {
            button->click();
        }
    }
    auto* search = qobject_cast<QAbstractButton*>(window.GetDlgItem(IDC_SEARCH_ASC));
    auto* list = qobject_cast<QTableView*>(window.GetDlgItem(IDC_STAR_LIST));

    // The counter goes between the window's model and its list; the list
    // would forget the window's column widths with the new model.
    std::vector<int> widths;
    for (int column = 0; column < list->model()->columnCount(); ++column) {
        widths.push_back(list->horizontalHeader()->sectionSize(column));
    }
    FormatCounter counter;
    counter.setSourceModel(list->model());
    list->setModel(&counter);
    for (int column = 0; column < static_cast<int>(widths.size()); ++column) {
        list->horizontalHeader()->resizeSection(column, widths[static_cast<std::size_t>(column)]);
    }
    PaintWatch watch(*list);
    QApplication::processEvents();

    // The same file in a catalogue of its own times Search alone; the rounds
    // alternate, so a busy moment of the machine falls on both.
    CStarCatalog alone;
    if (alone.LoadCatalog(path.c_str()) != stars) {
        return Fail("the catalogue could not load the file");
    }
    std::vector<double> searchMs;
    std::vector<double> handlerMs; // until the button's handler returns
    std::vector<double> windowMs;  // until the list has painted
    QElapsedTimer timer;
    for (int round = 0; round < rounds; ++round) {
        timer.start();
        const std::int32_t found = alone.Search(true, false, false);
        searchMs.push_back(static_cast<double>(timer.nsecsElapsed()) / kNsPerMs);

        counter.Forget();
        watch.Forget();
        timer.start();
        search->click();
        handlerMs.push_back(static_cast<double>(timer.nsecsElapsed()) / kNsPerMs);
        if (!AwaitPaint(watch)) {
            return Fail("the list never painted after the search");
        }
        windowMs.push_back(static_cast<double>(timer.nsecsElapsed()) / kNsPerMs);
        if (found != stars || list->model()->rowCount() != stars || counter.rows.empty() ||
            *counter.rows.begin() != 0) {
            return Fail("the search did not show every star from the first");
        }
    }

    // Dragging the thumb to the bottom jumps past every row in between.
    watch.painted = false;
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
    if (!AwaitPaint(watch) || !counter.rows.contains(static_cast<int>(stars - 1))) {
        return Fail("the end of the list never painted");
    }
    const long long unshown = std::count_if(counter.rows.begin(), counter.rows.end(),
                                            [&watch](int row) { return !watch.WasShown(row); });
    const long long rowsShown = watch.RowsShown();
    const std::size_t rowsFormatted = counter.rows.size();
    const long long displayCalls = counter.calls;

    // The same search with and without "Observable tonight", round for round.
    auto* tonight = qobject_cast<QAbstractButton*>(window.GetDlgItem(IDC_TONIGHT));
    std::vector<double> plainMs;
    std::vector<double> tonightMs;
    long long observable = 0;
    for (int round = 0; round < rounds; ++round) {
        plainMs.push_back(PressAndAwaitPaint(*search, watch));
        tonight->click();
        tonightMs.push_back(PressAndAwaitPaint(*search, watch));
        observable = list->model()->rowCount();
        tonight->click();
        if (plainMs.back() < 0 || tonightMs.back() < 0 || !dialogs.Messages().isEmpty()) {
            return Fail("a search with or without the night never painted");
        }
    }

    // A click on the Magnitude header until the sorted rows paint; each
    // click sorts again, the other way.
    if (PressAndAwaitPaint(*search, watch) < 0) {
        return Fail("the list never painted after the search");
    }
    std::vector<double> sortHandlerMs;
    std::vector<double> sortMs;
    const int magnitude = MagnitudeColumn();
    for (int round = 0; round < rounds; ++round) {
        watch.Forget();
        timer.start();
        emit list->horizontalHeader()->sectionClicked(magnitude);
        sortHandlerMs.push_back(MsSince(timer));
        if (!AwaitPaint(watch) || !window.GetCatalog().IsSorted()) {
            return Fail("the sorted list never painted");
        }
        sortMs.push_back(MsSince(timer));
    }

    std::printf("{\"stars\": %lld, \"rounds\": %d, \"search_ms\": %.3f, \"handler_ms\": %.3f, "
                "\"window_ms\": %.3f, \"slowest_window_ms\": %.3f, \"rows_shown\": %lld, "
                "\"rows_formatted\": %zu, "
                "\"display_calls\": %lld, \"unshown_rows_formatted\": %lld, "
                "\"plain_window_ms\": %.3f, \"tonight_window_ms\": %.3f, "
                "\"observable_rows\": %lld, \"sort_handler_ms\": %.3f, "
                "\"sort_window_ms\": %.3f}\n",
                stars, rounds, Median(searchMs), Median(handlerMs), Median(windowMs),
                *std::max_element(windowMs.begin(), windowMs.end()), rowsShown, rowsFormatted,
                displayCalls, unshown, Median(plainMs), Median(tonightMs), observable,
                Median(sortHandlerMs), Median(sortMs));
    return 0;
}
