// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The search window: a catalogue loaded from a file, the search criteria
// (position, light curve, name, variability type and, from the user's site,
// "Observable tonight" and "With a minimum or maximum tonight"), the
// matching stars in a list that sorts by any column, the altitude of the
// selected star through the night with its minima and maxima, and the list
// saved as CSV or as catalogue lines. The window may be resized; its size
// and the list's column widths are remembered between runs.
#pragma once

#include "DialogFramework.h"
#include "Resource.h"
#include "SearchCriteria.h"
#include "StarListModel.h"
#include "Tonight.h"

#include <QIcon>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

class AltitudeChart;
class QTableView;

class CLumaraGUIDlg : public CDialog {
    Q_OBJECT
public:
    // What RunFileDialog returns when the user cancels.
    static constexpr std::int32_t FILE_DIALOG_CANCELLED = -99;
    // The nights, tonight first, over which the Next event column looks for
    // a star's next minimum or maximum: a week shows one for most stars with
    // a period of days even when none falls tonight.
    static constexpr int NEXT_EVENT_NIGHTS = 7;

    explicit CLumaraGUIDlg(UserDialogs& dialogs, QWidget* parent = nullptr);

    const CStarCatalog& GetCatalog() const { return m_starList.Catalog(); }
    const AltitudeChart& GetAltitudeChart() const { return *m_chart; }

    // Loads the catalogue at path and shows the outcome exactly as File >
    // Load Data... does once a file is chosen.
    void LoadDataFile(const QString& path);

    void done(int result) override;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    // Enter anywhere but on a button searches in catalogue order, as
    // "Search Asc." does, once a catalogue is loaded; it never closes the
    // window, whose fields hold the user's work.
    void OnOK() override;

private:
    void OnInitDialog();
    // Gives the list its model, the sortable header, Ctrl+C and the column
    // widths.
    void SetUpList();
    // The site and limits remembered, and tonight's date at that site.
    void ReadPlanSettings();

    void OnBnClickedSearchAsc() { SearchAndShow(true); }
    void OnBnClickedSearchDesc() { SearchAndShow(false); }
    void OnBnClickedNoLightCurve();
    void OnBnClickedUseMagnitude() { EnablePair(IDC_USE_MAGNITUDE, IDC_MAG_MAX, IDC_MAG_MIN); }
    void OnBnClickedUsePeriod() { EnablePair(IDC_USE_PERIOD, IDC_PERIOD_MOST, IDC_PERIOD_LEAST); }
    void OnBnClickedTonight() { RequireSite(IDC_TONIGHT); }
    void OnBnClickedEventTonight() { RequireSite(IDC_EVENT_TONIGHT); }
    void OnFileLoadData();
    void OnFileSaveCsv();
    void OnFileSaveTxt();
    void OnFileExit() { close(); }
    void OnObserveSite();
    void OnHelpAbout();
    void OnHeaderClicked(int column);
    void OnListSelectionChanged();
    void OnEditCopy();

    // Returns FILE_DIALOG_CANCELLED when the user cancels, otherwise what the
    // load or the save returned.
    std::int32_t RunFileDialog(bool open, const QString& defaultExtension,
                               const QStringList& filters);
    std::int32_t LoadCatalogFile(const QString& path);
    void ShowLoadResult(std::int32_t loaded);
    void SaveResults(const QString& defaultExtension, const QStringList& filters);
    void EnableCriteria();
    void EnablePair(int boxId, int firstId, int secondId);
    void EnableControls(std::initializer_list<int> ids, bool enable);
    void SearchAndShow(bool ascending);
    // Runs the Site and Night dialog; true when the user accepted it.
    bool AskForSite();
    // A night box ticked without a site asks for one, and is unticked again
    // when none is given.
    void RequireSite(int boxId);
    // The night the search asks about, prepared with the nights the Next
    // event column looks at; null when neither night box is ticked, or when
    // the night cannot be prepared (reported).
    std::shared_ptr<const lumara::TonightContext> PrepareNight(bool& refused);
    // Shows or hides the night's line and the chart, the list taking the
    // room they leave.
    void ShowNightPanel(const std::shared_ptr<const lumara::TonightContext>& night);
    // Exchanges a criterion and checks it on its own, when the search uses it.
    template <typename T>
    void ExchangeCriterion(CDataExchange& dx, lumara::CriteriaField field, int id, T& value);
    // Checks the lower field of a pair against its partner, when the search
    // uses them; the check reports on the lower field.
    template <typename T>
    void CheckBelowPartner(CDataExchange& dx, lumara::CriteriaField field, int id, T value);
    // Reads the name and type fields into the criteria.
    void DDV_Name(CDataExchange& dx);
    void DDV_Type(CDataExchange& dx);
    // Writes the file name and the two counts, and no other field.
    void ShowStatus();
    void ExchangeStatus(CDataExchange& dx);

    QTableView* List() const;
    // Gives each column shown the width the user last gave it.
    void ApplyColumnWidths();
    void OnColumnResized(int column, int oldWidth, int newWidth);
    void RestoreLayout();
    void SaveLayout() const;

    QIcon m_hMainIcon;
    // The fields and boxes of the search criteria, as the window last read
    // or wrote them.
    lumara::SearchCriteria m_criteria;
    QString m_strName;
    QString m_strType;
    std::int32_t m_nRecordsLoaded = 0;
    std::int32_t m_nStarsFound = 0;
    QString m_strFileName;

    // The site and the night's limits, as remembered; the night's date
    // starts as tonight's each time the program starts.
    lumara::plan::PlanSettings m_planSettings;
    std::optional<lumara::plan::CivilDate> m_nightDate;

    // The column the list is sorted by, -1 in catalogue order.
    int m_sortColumn = -1;
    bool m_sortDescending = false;
    // Pixels, by index into lumara::ListColumns().
    std::vector<int> m_columnWidths;
    // Whether a column's new width is the user's to remember.
    bool m_followColumnWidths = false;

    // Holds the catalogue, so that the list is reset whenever the result
    // list it shows changes.
    StarListModel m_starList;
    AltitudeChart* m_chart;
};
