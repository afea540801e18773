// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The search window: a catalogue loaded from a file, eight search criteria,
// the matching stars in a list, and the list saved as CSV or as catalogue
// lines.
#pragma once

#include "DialogFramework.h"
#include "Resource.h"
#include "SearchCriteria.h"
#include "StarListModel.h"

#include <QIcon>
#include <cstdint>
#include <initializer_list>

class CLumaraGUIDlg : public CDialog {
    Q_OBJECT
public:
    // What RunFileDialog returns when the user cancels.
    static constexpr std::int32_t FILE_DIALOG_CANCELLED = -99;

    explicit CLumaraGUIDlg(UserDialogs& dialogs, QWidget* parent = nullptr);

    const CStarCatalog& GetCatalog() const { return m_starList.Catalog(); }

    // Loads the catalogue at path and shows the outcome exactly as File >
    // Load Data... does once a file is chosen.
    void LoadDataFile(const QString& path);

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    void OnInitDialog();

    void OnBnClickedSearchAsc() { SearchAndShow(true); }
    void OnBnClickedSearchDesc() { SearchAndShow(false); }
    void OnBnClickedNoLightCurve();
    void OnBnClickedUseMagnitude() { EnablePair(IDC_USE_MAGNITUDE, IDC_MAG_MAX, IDC_MAG_MIN); }
    void OnBnClickedUsePeriod() { EnablePair(IDC_USE_PERIOD, IDC_PERIOD_MOST, IDC_PERIOD_LEAST); }
    void OnFileLoadData();
    void OnFileSaveCsv();
    void OnFileSaveTxt();
    void OnFileExit() { close(); }
    void OnHelpAbout();

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
    // Exchanges a criterion and checks it on its own, when the search uses it.
    template <typename T>
    void ExchangeCriterion(CDataExchange& dx, lumara::CriteriaField field, int id, T& value);
    // Checks the lower field of a pair against its partner, when the search
    // uses them; the check reports on the lower field.
    template <typename T>
    void CheckBelowPartner(CDataExchange& dx, lumara::CriteriaField field, int id, T value);
    // Writes the file name and the two counts, and no other field.
    void ShowStatus();
    void ExchangeStatus(CDataExchange& dx);

    QIcon m_hMainIcon;
    // The fields and boxes of the search criteria, as the window last read
    // or wrote them.
    lumara::SearchCriteria m_criteria = lumara::kWindowCriteria;
    std::int32_t m_nRecordsLoaded = 0;
    std::int32_t m_nStarsFound = 0;
    QString m_strFileName;

    // Holds the catalogue, so that the list is reset whenever the result
    // list it shows changes.
    StarListModel m_starList;
};
