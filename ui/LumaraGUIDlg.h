// The search window: a catalogue loaded from a file, eight search criteria,
// the matching stars in a list, and the list saved as CSV or as catalogue
// lines.
#pragma once

#include "DialogFramework.h"
#include "Resource.h"
#include "SearchCriteria.h"
#include "StarCatalog.h"
#include "StarListModel.h"

#include <QIcon>
#include <cstdint>
#include <initializer_list>
#include <vector>

class CLumaraGUIDlg : public CDialog {
    Q_OBJECT
public:
    // What RunFileDialog returns when the user cancels.
    static constexpr std::int32_t FILE_DIALOG_CANCELLED = -99;

    explicit CLumaraGUIDlg(UserDialogs& dialogs, QWidget* parent = nullptr);

    const CStarCatalog& GetCatalog() const { return m_catalog; }

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
    void SaveResults(const QString& defaultExtension, const QStringList& filters);
    void EnableCriteria();
    void EnablePair(int boxId, int firstId, int secondId);
    void EnableControls(std::initializer_list<int> ids, bool enable);
    void SearchAndShow(bool ascending);
    lumara::SearchCriteria CurrentCriteria() const;
    std::vector<const StarRecord*> WalkResults(bool ascending);
    // Writes the file name and the two counts, and no other field.
    void ShowStatus();
    void ExchangeStatus(CDataExchange& dx);

    QIcon m_hMainIcon;
    CStarCatalog m_catalog;
    std::int16_t m_nRaWest = 0;
    std::int16_t m_nRaEast = 23;
    std::int16_t m_nDecSouth = -90;
    std::int16_t m_nDecNorth = 90;
    float m_fMagMax = 6.0f;
    float m_fMagMin = 0.0f;
    double m_dPeriodLeast = 0.0;
    double m_dPeriodMost = 1000.0;
    int m_bUseMagnitude = 1;
    int m_bUsePeriod = 1;
    int m_bNoLightCurve = 0;
    std::int32_t m_nRecordsLoaded = 0;
    std::int32_t m_nStarsFound = 0;
    QString m_strFileName;

    StarListModel m_starList;
};
