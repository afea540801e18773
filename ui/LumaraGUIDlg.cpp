// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "LumaraGUIDlg.h"

#include "AboutDlg.h"
#include "ApplicationLook.h"
#include "FieldExchange.h"
#include "RowFormats.h"
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
    {IDC_STATIC, ControlKind::Label, "Records Loaded:", {12, 48, 74, 12}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Stars Found in Search:", {12, 66, 74, 12}, kTextRight},
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
    // The counts have room for eight digits: VSX alone lists over two
    // million stars.
    {IDC_RECORDS_LOADED,
     ControlKind::Edit,
     "",
     {90, 48, 42, 12},
     kDisabled | kNoTabStop | kTextRight},
    {IDC_STARS_FOUND, ControlKind::Edit, "", {90, 66, 42, 12}, kDisabled | kNoTabStop | kTextRight},
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
// Every kind of file a catalogue is read from (VSX comes as vsx.dat; tables
// from VizieR, AAVSO and TOPCAT as the rest), which the open dialog shows
// first.
const QStringList kCataloguePatterns = {QStringLiteral("*.txt"), QStringLiteral("*.dat"),
                                        QStringLiteral("*.csv"), QStringLiteral("*.tsv"),
                                        QStringLiteral("*.vot"), QStringLiteral("*.xml")};
const QStringList kOpenFilters =
    QStringList{QStringLiteral("Catalogues (%1)").arg(kCataloguePatterns.join(' '))} + kTextFilters;
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

namespace {
// A range check of the field exchanged last against a range of the search
// criteria.
template <typename T>
void DDV_Criterion(CDataExchange& dx, T value, const lumara::FieldRange& range) {
    DDV_Range(dx, value, static_cast<T>(range.min), static_cast<T>(range.max), range.minIncluded);
}
} // namespace

template <typename T>
void CLumaraGUIDlg::ExchangeCriterion(CDataExchange& dx, lumara::CriteriaField field, int id,
                                      T& value) {
    if (!lumara::IsInUse(m_criteria, field)) {
        return;
    }
    DDX_Text(dx, id, value);
    DDV_Criterion(dx, value, lumara::RangeOf(field));
}

template <typename T>
void CLumaraGUIDlg::CheckBelowPartner(CDataExchange& dx, lumara::CriteriaField field, int id,
                                      T value) {
    if (!lumara::IsInUse(m_criteria, field) || dx.PrepareEditCtrl(id) == nullptr) {
        return;
    }
    DDV_Criterion(dx, value, lumara::RangeBelowPartner(m_criteria, field));
}

void CLumaraGUIDlg::DoDataExchange(CDataExchange& dx) {
    using lumara::CriteriaField;
    // The boxes come first: they decide which fields the search uses. A
    // field it does not use is neither read nor written, so a value typed
    // there waits, untouched, until its pair is used again.
    lumara::SearchCriteria& c = m_criteria;
    DDX_Check(dx, IDC_USE_MAGNITUDE, c.useMagnitude);
    DDX_Check(dx, IDC_USE_PERIOD, c.usePeriod);
    DDX_Check(dx, IDC_NO_LIGHT_CURVE, c.noLightCurve);
    ExchangeCriterion(dx, CriteriaField::RaWest, IDC_RA_WEST, c.raWest);
    ExchangeCriterion(dx, CriteriaField::RaEast, IDC_RA_EAST, c.raEast);
    ExchangeCriterion(dx, CriteriaField::DecSouth, IDC_DEC_SOUTH, c.decSouth);
    ExchangeCriterion(dx, CriteriaField::DecNorth, IDC_DEC_NORTH, c.decNorth);
    CheckBelowPartner(dx, CriteriaField::DecSouth, IDC_DEC_SOUTH, c.decSouth);
    ExchangeCriterion(dx, CriteriaField::MagMax, IDC_MAG_MAX, c.magMax);
    ExchangeCriterion(dx, CriteriaField::MagMin, IDC_MAG_MIN, c.magMin);
    ExchangeCriterion(dx, CriteriaField::PeriodLeast, IDC_PERIOD_LEAST, c.periodLeast);
    ExchangeCriterion(dx, CriteriaField::PeriodMost, IDC_PERIOD_MOST, c.periodMost);
    CheckBelowPartner(dx, CriteriaField::PeriodLeast, IDC_PERIOD_LEAST, c.periodLeast);
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
    if (open) {
        return LoadCatalogFile(*path);
    }
    // The library would write a header alone, or nothing, over the chosen
    // file; a user told that no records were saved expects it untouched.
    if (!GetCatalog().HasResults()) {
        return 0;
    }
    // The chosen name decides the format, whichever save command asked, by
    // the rule lumara follows too; what is not CSV is saved as catalogue
    // lines.
    const QByteArray localPath = QFile::encodeName(*path);
    return m_starList.Save(localPath.constData(), lumara::FormatForName(localPath.toStdString()) ==
                                                      lumara::OutputFormat::Csv);
}

std::int32_t CLumaraGUIDlg::LoadCatalogFile(const QString& path) {
    m_strFileName = QFileInfo(path).fileName();
    const QByteArray localPath = QFile::encodeName(path);
    // A load lists every star, but the list stays empty until a search.
    return m_starList.Rebuild(RowOrder::Hidden, [&localPath](CStarCatalog& catalog) {
        return catalog.LoadCatalog(localPath.constData());
    });
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
    const std::int32_t loaded = RunFileDialog(true, kTextExtension, kOpenFilters);
    if (loaded != FILE_DIALOG_CANCELLED) {
        ShowLoadResult(loaded);
    }
}

void CLumaraGUIDlg::LoadDataFile(const QString& path) {
    ShowLoadResult(LoadCatalogFile(path));
}

void CLumaraGUIDlg::ShowLoadResult(std::int32_t loaded) {
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
        // A table that cannot be read says why beneath the message.
        const std::string& problem = GetCatalog().GetLoadProblem();
        Dialogs().ShowMessage(this, loaded == 0       ? kNoRecordsLoaded
                                    : problem.empty() ? kDataFileError
                                                      : kDataFileError + QLatin1Char('\n') +
                                                            QString::fromStdString(problem));
    }
    m_nStarsFound = 0;
    ShowStatus();
    const std::string imported = lumara::import::DescribeReport(GetCatalog().GetImportReport());
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

void CLumaraGUIDlg::SearchAndShow(bool ascending) {
    // A refused field has been reported; the search waits for a valid one.
    if (!UpdateData(true)) {
        return;
    }
    m_nStarsFound =
        m_starList.Rebuild(ascending ? RowOrder::Ascending : RowOrder::Descending,
                           [this](CStarCatalog& catalog) { return catalog.Search(m_criteria); });
    if (m_nStarsFound < 0) {
        m_nStarsFound = 0;
        Dialogs().ShowMessage(this, kSearchError);
    }
    UpdateData(false);
}
