#include "LumaraGUIDlg.h"

#include "AboutDlg.h"
#include "ApplicationLook.h"
#include "FieldExchange.h"
#include "SearchCriteria.h"
#include "UserDialogs.h"

#include <QAbstractButton>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>
#include <algorithm>
#include <optional>

namespace {
constexpr QSize kWindowUnits{520, 298};
constexpr const char* kCaption = "Lumara - NOVAX Variable Star Search";

// The list's column widths are pixels of a font whose average character is
// this wide; they grow with a wider dialog font so the texts still fit.
constexpr int kColumnFontBaseWidth = 6;
// A load selects this many leading characters of the West field.
constexpr int kRaWestSelection = 2;

constexpr ControlTemplate kTemplate[] = {
    {IDC_RA_WEST, ControlKind::Edit, "", {78, 114, 24, 12}, kDisabled | kTextRight},
    {IDC_RA_EAST, ControlKind::Edit, "", {108, 114, 24, 12}, kDisabled | kTextRight},
    {IDC_DEC_SOUTH, ControlKind::Edit, "", {78, 144, 24, 12}, kDisabled | kTextRight},
    {IDC_DEC_NORTH, ControlKind::Edit, "", {108, 144, 24, 12}, kDisabled | kTextRight},
    {IDC_MAG_MAX, ControlKind::Edit, "", {78, 182, 24, 12}, kDisabled | kTextRight},
    {IDC_MAG_MIN, ControlKind::Edit, "", {108, 182, 24, 12}, kDisabled | kTextRight},
    {IDC_PERIOD_LEAST, ControlKind::Edit, "", {78, 212, 24, 12}, kDisabled | kTextRight},
    {IDC_PERIOD_MOST, ControlKind::Edit, "", {108, 212, 24, 12}, kDisabled | kTextRight},
    {IDC_FILE_NAME, ControlKind::Edit, "", {42, 30, 90, 12}, kDisabled | kTextRight},
    {IDC_SEARCH_ASC, ControlKind::PushButton, "Search Asc.", {78, 248, 54, 12}, kDisabled},
    {IDC_SEARCH_DESC,
     ControlKind::PushButton,
     "Search Desc.",
     {18, 248, 54, 12},
     kDisabled | kNoTabStop},
    {IDC_NO_LIGHT_CURVE,
     ControlKind::CheckBox,
     "Display Only Stars With No Light Curve Data",
     {36, 268, 96, 16},
     kDisabled | kNoTabStop | kTextRight},
    {IDC_STAR_LIST, ControlKind::ListView, "", {156, 10, 356, 281}, kNoTabStop},
    {IDC_STATIC, ControlKind::Label, "File:", {17, 30, 19, 10}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Records Loaded:", {18, 48, 84, 12}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Stars Found in Search:", {18, 66, 84, 12}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "R.A. Hours:", {18, 128, 54, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Degrees:", {18, 158, 54, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Magnitude:", {18, 196, 54, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Period in Days:", {18, 226, 54, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "West", {78, 128, 24, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "East", {108, 128, 24, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "South", {78, 158, 24, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "North", {108, 158, 24, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Min <", {108, 196, 24, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Max >", {78, 196, 24, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Most", {108, 226, 24, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Least", {78, 226, 24, 8}, kTextRight},
    {IDC_CRITERIA_GROUP, ControlKind::GroupBox, "Search Criteria", {7, 94, 137, 197}, 0},
    {IDC_STATIC, ControlKind::GroupBox, "Data", {7, 10, 137, 80}, 0},
    {IDC_RECORDS_LOADED,
     ControlKind::Edit,
     "",
     {108, 48, 24, 12},
     kDisabled | kNoTabStop | kTextRight},
    {IDC_STARS_FOUND,
     ControlKind::Edit,
     "",
     {108, 66, 24, 12},
     kDisabled | kNoTabStop | kTextRight},
    {IDC_USE_MAGNITUDE, ControlKind::CheckBox, "", {24, 182, 48, 12}, kDisabled | kNoTabStop},
    {IDC_USE_PERIOD, ControlKind::CheckBox, "", {24, 212, 48, 12}, kDisabled | kNoTabStop},
    {IDC_STATIC, ControlKind::GroupBox, "Location", {14, 104, 124, 68}, 0},
    {IDC_STATIC, ControlKind::GroupBox, "Light Curve", {14, 172, 124, 68}, 0},
};

constexpr std::initializer_list<int> kLocationGroup = {IDC_RA_WEST, IDC_RA_EAST, IDC_DEC_SOUTH,
                                                       IDC_DEC_NORTH};
constexpr std::initializer_list<int> kLightCurveControls = {
    IDC_MAG_MAX, IDC_MAG_MIN, IDC_USE_MAGNITUDE, IDC_PERIOD_MOST, IDC_PERIOD_LEAST, IDC_USE_PERIOD};
constexpr std::initializer_list<int> kSearchControls = {IDC_SEARCH_ASC, IDC_SEARCH_DESC,
                                                        IDC_NO_LIGHT_CURVE};

const QString kTextExtension = QStringLiteral("txt");
const QString kCsvExtension = QStringLiteral("csv");
const QStringList kTextFilters = {QStringLiteral("Text Files (*.txt)"),
                                  QStringLiteral("All Files (*)")};
const QStringList kCsvFilters = {QStringLiteral("Comma-Separated Files (*.csv)"),
                                 QStringLiteral("All Files (*)")};

const QString kDataFileError = QStringLiteral("Data File Error!");
const QString kNoRecordsLoaded =
    QStringLiteral("No records loaded! Verify data file contains valid variable star records.");
// Only memory can fail a search here: the search buttons need a catalogue.
const QString kSearchError =
    QStringLiteral("Search Error! Not enough memory to list the stars found.");
const QString kNoRecordsSaved =
    QStringLiteral("No records saved! Verify data loaded and searched by criteria.");

} // namespace

CLumaraGUIDlg::CLumaraGUIDlg(UserDialogs& dialogs, QWidget* parent)
    : CDialog(dialogs, kWindowUnits, QString::fromLatin1(kCaption), true, parent),
      m_hMainIcon(MainIcon()) {
    setWindowIcon(m_hMainIcon);
    CreateControls(kTemplate);

    QMenu* file = AddMenu(QStringLiteral("&File"));
    connect(AddCommand(file, ID_FILE_LOADDATA, QStringLiteral("&Load Data...")),
            &QAction::triggered, this, &CLumaraGUIDlg::OnFileLoadData);
    connect(AddCommand(file, ID_FILE_SAVECSV, QStringLiteral("Save &CSV...")), &QAction::triggered,
            this, &CLumaraGUIDlg::OnFileSaveCsv);
    connect(AddCommand(file, ID_FILE_SAVETXT, QStringLiteral("Save &TXT...")), &QAction::triggered,
            this, &CLumaraGUIDlg::OnFileSaveTxt);
    connect(AddCommand(file, ID_FILE_EXIT, QStringLiteral("E&xit")), &QAction::triggered, this,
            &CLumaraGUIDlg::OnFileExit);
    QMenu* help = AddMenu(QStringLiteral("&Help"));
    connect(AddCommand(help, ID_HELP_ABOUT, QStringLiteral("&About Lumara")), &QAction::triggered,
            this, &CLumaraGUIDlg::OnHelpAbout);

    const auto clicked = [this](int id, void (CLumaraGUIDlg::*handler)()) {
        connect(qobject_cast<QAbstractButton*>(GetDlgItem(id)), &QAbstractButton::clicked, this,
                handler);
    };
    clicked(IDC_SEARCH_ASC, &CLumaraGUIDlg::OnBnClickedSearchAsc);
    clicked(IDC_SEARCH_DESC, &CLumaraGUIDlg::OnBnClickedSearchDesc);
    clicked(IDC_NO_LIGHT_CURVE, &CLumaraGUIDlg::OnBnClickedNoLightCurve);
    clicked(IDC_USE_MAGNITUDE, &CLumaraGUIDlg::OnBnClickedUseMagnitude);
    clicked(IDC_USE_PERIOD, &CLumaraGUIDlg::OnBnClickedUsePeriod);

    OnInitDialog();
}

void CLumaraGUIDlg::OnInitDialog() {
    UpdateData(false);
    auto* list = qobject_cast<QTableView*>(GetDlgItem(IDC_STAR_LIST));
    list->setModel(&m_starList);
    for (int column = 0; column < StarListModel::kColumnCount; ++column) {
        const int width = StarListModel::kColumns[static_cast<std::size_t>(column)].widthPixels;
        list->horizontalHeader()->resizeSection(
            column,
            width * std::max(Units().BaseWidth(), kColumnFontBaseWidth) / kColumnFontBaseWidth);
    }
}

void CLumaraGUIDlg::DoDataExchange(CDataExchange& dx) {
    DDX_Text(dx, IDC_RA_WEST, m_nRaWest);
    DDV_MinMaxInt(dx, m_nRaWest, lumara::kFirstRaHour, lumara::kLastRaHour);
    DDX_Text(dx, IDC_RA_EAST, m_nRaEast);
    DDV_MinMaxInt(dx, m_nRaEast, lumara::kFirstRaHour, lumara::kLastRaHour);
    DDX_Text(dx, IDC_DEC_SOUTH, m_nDecSouth);
    DDV_MinMaxInt(dx, m_nDecSouth, lumara::kSouthPole, lumara::kNorthPole);
    DDX_Text(dx, IDC_DEC_NORTH, m_nDecNorth);
    DDV_MinMaxInt(dx, m_nDecNorth, lumara::kSouthPole, lumara::kNorthPole);
    // The search runs on exactly the band shown, so a band whose South lies
    // above its North is refused, on South.
    dx.PrepareEditCtrl(IDC_DEC_SOUTH);
    DDV_MinMaxInt(dx, m_nDecSouth, lumara::kSouthPole, m_nDecNorth);
    DDX_Text(dx, IDC_MAG_MAX, m_fMagMax);
    DDV_MinMaxFloat(dx, m_fMagMax, lumara::kLowestMagnitudeLimit, lumara::kHighestMagnitudeLimit);
    DDX_Text(dx, IDC_MAG_MIN, m_fMagMin);
    DDV_MinMaxFloat(dx, m_fMagMin, lumara::kLowestMagnitudeLimit, lumara::kHighestMagnitudeLimit);
    DDX_Text(dx, IDC_PERIOD_LEAST, m_dPeriodLeast);
    DDV_MinMaxDouble(dx, m_dPeriodLeast, lumara::kShortestPeriod, lumara::kLongestPeriod);
    DDX_Text(dx, IDC_PERIOD_MOST, m_dPeriodMost);
    // The catalogue takes no most period of 0.
    DDV_Range(dx, m_dPeriodMost, lumara::kShortestPeriod, lumara::kLongestPeriod, false);
    dx.PrepareEditCtrl(IDC_PERIOD_LEAST);
    DDV_MinMaxDouble(dx, m_dPeriodLeast, lumara::kShortestPeriod, m_dPeriodMost);
    DDX_Check(dx, IDC_USE_MAGNITUDE, m_bUseMagnitude);
    DDX_Check(dx, IDC_USE_PERIOD, m_bUsePeriod);
    DDX_Check(dx, IDC_NO_LIGHT_CURVE, m_bNoLightCurve);
    ExchangeStatus(dx);
}

void CLumaraGUIDlg::ExchangeStatus(CDataExchange& dx) {
    DDX_Text(dx, IDC_FILE_NAME, m_strFileName);
    DDX_Text(dx, IDC_RECORDS_LOADED, m_nRecordsLoaded);
    DDX_Text(dx, IDC_STARS_FOUND, m_nStarsFound);
}

void CLumaraGUIDlg::ShowStatus() {
    CDataExchange dx(*this, false);
    ExchangeStatus(dx);
}

std::int32_t CLumaraGUIDlg::RunFileDialog(bool open, const QString& defaultExtension,
                                          const QStringList& filters) {
    const std::optional<QString> path =
        Dialogs().ChooseFile(this, {open, defaultExtension, filters});
    if (!path) {
        return FILE_DIALOG_CANCELLED;
    }
    const QFileInfo chosen(*path);
    const QByteArray localPath = QFile::encodeName(*path);
    if (open) {
        // The rows point into the records that the load releases.
        m_starList.Clear();
        m_strFileName = chosen.fileName();
        return m_catalog.LoadCatalog(localPath.constData());
    }
    // The chosen name decides the format, whichever save command asked.
    if (chosen.suffix().compare(kCsvExtension, Qt::CaseInsensitive) == 0) {
        return m_catalog.SaveCsv(localPath.constData());
    }
    return m_catalog.SaveTxt(localPath.constData());
}

void CLumaraGUIDlg::EnableControls(std::initializer_list<int> ids, bool enable) {
    for (const int id : ids) {
        EnableControl(id, enable);
    }
}

void CLumaraGUIDlg::EnablePair(int boxId, int firstId, int secondId) {
    const bool checked = IsChecked(boxId);
    EnableControl(firstId, checked);
    EnableControl(secondId, checked);
}

void CLumaraGUIDlg::EnableCriteria() {
    OnBnClickedUseMagnitude();
    EnableControl(IDC_USE_MAGNITUDE, true);
    OnBnClickedUsePeriod();
    EnableControl(IDC_USE_PERIOD, true);
}

void CLumaraGUIDlg::OnBnClickedNoLightCurve() {
    if (IsChecked(IDC_NO_LIGHT_CURVE)) {
        EnableControls(kLightCurveControls, false);
    } else {
        EnableCriteria();
    }
}

void CLumaraGUIDlg::OnFileLoadData() {
    const std::int32_t loaded = RunFileDialog(true, kTextExtension, kTextFilters);
    if (loaded == FILE_DIALOG_CANCELLED) {
        return;
    }
    if (loaded > 0) {
        EnableControls(kLocationGroup, true);
        EnableControls(kSearchControls, true);
        // The light-curve controls follow the boxes as the user left them.
        OnBnClickedNoLightCurve();
        FocusControl(IDC_RA_WEST);
        SelectText(IDC_RA_WEST, 0, kRaWestSelection);
        m_nRecordsLoaded = loaded;
    } else {
        EnableControls(kLocationGroup, false);
        EnableControls(kLightCurveControls, false);
        EnableControls(kSearchControls, false);
        m_nRecordsLoaded = 0;
        m_strFileName.clear();
        Dialogs().ShowMessage(this, loaded == 0 ? kNoRecordsLoaded : kDataFileError);
    }
    m_nStarsFound = 0;
    ShowStatus();
    const std::string imported = lumara::import::DescribeReport(m_catalog.GetImportReport());
    if (loaded > 0 && !imported.empty()) {
        Dialogs().ShowInformation(this, QString::fromStdString(imported));
    }
}

void CLumaraGUIDlg::SaveResults(const QString& defaultExtension, const QStringList& filters) {
    const std::int32_t saved = RunFileDialog(false, defaultExtension, filters);
    if (saved != FILE_DIALOG_CANCELLED && saved <= 0) {
        Dialogs().ShowMessage(this, kNoRecordsSaved);
    }
}

void CLumaraGUIDlg::OnFileSaveCsv() {
    SaveResults(kCsvExtension, kCsvFilters);
}

void CLumaraGUIDlg::OnFileSaveTxt() {
    SaveResults(kTextExtension, kTextFilters);
}

void CLumaraGUIDlg::OnHelpAbout() {
    CAboutDlg about(Dialogs(), this);
    about.DoModal();
}

lumara::SearchCriteria CLumaraGUIDlg::CurrentCriteria() const {
    return {.raWest = m_nRaWest,
            .raEast = m_nRaEast,
            .decSouth = m_nDecSouth,
            .decNorth = m_nDecNorth,
            .magMax = m_fMagMax,
            .magMin = m_fMagMin,
            .periodLeast = m_dPeriodLeast,
            .periodMost = m_dPeriodMost,
            .useMagnitude = m_bUseMagnitude != 0,
            .usePeriod = m_bUsePeriod != 0,
            .noLightCurve = m_bNoLightCurve != 0};
}

std::vector<const StarRecord*> CLumaraGUIDlg::WalkResults(bool ascending) {
    std::vector<const StarRecord*> rows;
    rows.reserve(static_cast<std::size_t>(std::max(m_nStarsFound, 0)));
    if (ascending) {
        for (m_catalog.MoveFirst(); !m_catalog.IsEOF(); m_catalog.MoveNext()) {
            rows.push_back(m_catalog.GetCursorResult()->record);
        }
    } else {
        for (m_catalog.MoveLast(); !m_catalog.IsBOF(); m_catalog.MovePrev()) {
            rows.push_back(m_catalog.GetCursorResult()->record);
        }
    }
    return rows;
}

void CLumaraGUIDlg::SearchAndShow(bool ascending) {
    // A refused field has been reported; the search waits for a valid one.
    if (!UpdateData(true)) {
        return;
    }
    m_nStarsFound = lumara::SearchWith(m_catalog, CurrentCriteria());
    m_starList.SetRows(WalkResults(ascending));
    if (m_nStarsFound < 0) {
        m_nStarsFound = 0;
        Dialogs().ShowMessage(this, kSearchError);
    }
    UpdateData(false);
}
