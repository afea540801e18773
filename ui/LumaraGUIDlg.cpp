// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "LumaraGUIDlg.h"

#include "AboutDlg.h"
#include "AltitudeChart.h"
#include "ApplicationLook.h"
#include "FieldExchange.h"
#include "RowFormats.h"
#include "SearchCriteria.h"
#include "SiteDlg.h"
#include "StarDetails.h"
#include "UserDialogs.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QTableView>
#include <algorithm>
#include <optional>
#include <variant>

namespace {
constexpr QSize kWindowUnits{520, 372};
constexpr const char* kCaption = "Lumara - NOVAX Variable Star Search";

// The window's first criteria: the night's boxes start unticked, so that a
// first search asks for no site.
lumara::SearchCriteria StartCriteria() {
    lumara::SearchCriteria criteria = lumara::kWindowCriteria;
    criteria.observableTonight = false;
    return criteria;
}

// The list's column widths are pixels of a font whose average character is
// this wide; they grow with a wider dialog font so the texts still fit.
constexpr int kColumnFontBaseWidth = 6;
// A load selects this many leading characters of the West field.
constexpr int kRaWestSelection = 2;

// The list alone, and the list above the night's line and the chart.
constexpr QRect kListUnits{156, 10, 356, 355};
constexpr QRect kListAboveNightUnits{156, 10, 356, 273};
constexpr ControlTemplate kChartTemplate = {
    IDC_ALTITUDE_CHART, ControlKind::Label, "", {156, 299, 356, 66}, kFollowBottom | kGrowWidth};

constexpr ControlTemplate kTemplate[] = {
    {IDC_RA_WEST, ControlKind::Edit, "", {78, 114, 24, 12}, kDisabled | kTextRight},
    {IDC_RA_EAST, ControlKind::Edit, "", {108, 114, 24, 12}, kDisabled | kTextRight},
    {IDC_DEC_SOUTH, ControlKind::Edit, "", {78, 144, 24, 12}, kDisabled | kTextRight},
    {IDC_DEC_NORTH, ControlKind::Edit, "", {108, 144, 24, 12}, kDisabled | kTextRight},
    {IDC_MAG_MAX, ControlKind::Edit, "", {78, 182, 24, 12}, kDisabled | kTextRight},
    {IDC_MAG_MIN, ControlKind::Edit, "", {108, 182, 24, 12}, kDisabled | kTextRight},
    {IDC_PERIOD_LEAST, ControlKind::Edit, "", {78, 212, 24, 12}, kDisabled | kTextRight},
    {IDC_PERIOD_MOST, ControlKind::Edit, "", {108, 212, 24, 12}, kDisabled | kTextRight},
    {IDC_NAME, ControlKind::Edit, "", {48, 251, 84, 12}, kDisabled},
    {IDC_TYPE, ControlKind::ComboBox, "", {48, 266, 84, 12}, kDisabled},
    {IDC_FILE_NAME, ControlKind::Edit, "", {42, 30, 90, 12}, kDisabled | kTextRight},
    {IDC_SEARCH_ASC, ControlKind::PushButton, "Search Asc.", {78, 322, 54, 12}, kDisabled},
    {IDC_SEARCH_DESC,
     ControlKind::PushButton,
     "Search Desc.",
     {18, 322, 54, 12},
     kDisabled | kNoTabStop},
    {IDC_NO_LIGHT_CURVE,
     ControlKind::CheckBox,
     "Display Only Stars With No Light Curve Data",
     {36, 342, 96, 16},
     kDisabled | kNoTabStop | kTextRight},
    {IDC_TONIGHT,
     ControlKind::CheckBox,
     "Observable tonight",
     {36, 284, 96, 10},
     kDisabled | kNoTabStop | kTextRight},
    {IDC_EVENT_TONIGHT,
     ControlKind::CheckBox,
     "With a minimum or maximum tonight",
     {36, 296, 96, 16},
     kDisabled | kNoTabStop | kTextRight},
    {IDC_STAR_LIST, ControlKind::ListView, "", kListUnits, kNoTabStop | kGrowWidth | kGrowHeight},
    {IDC_NIGHT_LINE, ControlKind::Label, "", {156, 287, 356, 10}, kFollowBottom | kGrowWidth},
    {IDC_STATIC, ControlKind::Label, "File:", {17, 30, 19, 10}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Records Loaded:", {12, 48, 74, 12}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Stars Found in Search:", {12, 66, 74, 12}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "R.A. Hours:", {18, 128, 54, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Degrees:", {18, 158, 54, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Magnitude:", {18, 196, 54, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Period in Days:", {18, 226, 54, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Name:", {18, 253, 26, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Type:", {18, 268, 26, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "West", {78, 128, 24, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "East", {108, 128, 24, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "South", {78, 158, 24, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "North", {108, 158, 24, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Min <", {108, 196, 24, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Max >", {78, 196, 24, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Most", {108, 226, 24, 8}, kTextRight},
    {IDC_STATIC, ControlKind::Label, "Least", {78, 226, 24, 8}, kTextRight},
    {IDC_CRITERIA_GROUP, ControlKind::GroupBox, "Search Criteria", {7, 94, 137, 271}, 0},
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
    {IDC_STATIC, ControlKind::GroupBox, "Name, Type and Night", {14, 240, 124, 76}, 0},
};

constexpr std::initializer_list<int> kLocationGroup = {IDC_RA_WEST, IDC_RA_EAST, IDC_DEC_SOUTH,
                                                       IDC_DEC_NORTH};
constexpr std::initializer_list<int> kLightCurveControls = {
    IDC_MAG_MAX, IDC_MAG_MIN, IDC_USE_MAGNITUDE, IDC_PERIOD_MOST, IDC_PERIOD_LEAST, IDC_USE_PERIOD};
constexpr std::initializer_list<int> kSearchControls = {IDC_SEARCH_ASC, IDC_SEARCH_DESC,
                                                        IDC_NO_LIGHT_CURVE};
constexpr std::initializer_list<int> kFindControls = {IDC_NAME, IDC_TYPE, IDC_TONIGHT,
                                                      IDC_EVENT_TONIGHT};

// The window's own settings, beside the planner's in the same folder.
constexpr const char* kLayoutFile = "window.ini";
const QString kGeometryKey = QStringLiteral("geometry");
const QString kColumnsKey = QStringLiteral("columns");

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
const QString kSortError = QStringLiteral("Sort Error! Not enough memory to sort the stars found.");
const QString kSettingsUnread = QStringLiteral("The site and night could not be read: %1");
const QString kSettingsUnsaved = QStringLiteral("The site and night could not be remembered: %1");

// The file that keeps the window's size and the list's column widths;
// empty when the user has no configuration folder.
QString LayoutPath() {
    const std::string settings = lumara::plan::SettingsPath();
    if (settings.empty()) {
        return {};
    }
    return QFileInfo(QString::fromStdString(settings)).dir().filePath(QLatin1String(kLayoutFile));
}

// Catalogue texts are 8-bit, read as ISO-8859-1; text beyond it can only
// match a source's UTF-8.
constexpr char16_t kLastLatin1 = 0xFF;
std::string CatalogueText(const QString& text) {
    for (const QChar character : text) {
        if (character.unicode() > kLastLatin1) {
            return text.toStdString();
        }
    }
    return text.toLatin1().toStdString();
}

// The list's width for a column at the dialog font's character width.
int ColumnPixels(const lumara::ListColumn& column, int baseWidth) {
    return column.widthPixels * std::max(baseWidth, kColumnFontBaseWidth) / kColumnFontBaseWidth;
}

} // namespace

CLumaraGUIDlg::CLumaraGUIDlg(UserDialogs& dialogs, QWidget* parent)
    : CDialog(dialogs, kWindowUnits, QString::fromLatin1(kCaption), DialogFrame::Resizable, parent),
      m_hMainIcon(MainIcon()), m_criteria(StartCriteria()), m_chart(new AltitudeChart(this)) {
    setWindowIcon(m_hMainIcon);
    CreateControls(kTemplate);
    PlaceControl(kChartTemplate, m_chart);

    QMenu* file = AddMenu(QStringLiteral("&File"));
    connect(AddCommand(file, ID_FILE_LOADDATA, QStringLiteral("&Load Data...")),
            &QAction::triggered, this, &CLumaraGUIDlg::OnFileLoadData);
    connect(AddCommand(file, ID_FILE_SAVECSV, QStringLiteral("Save &CSV...")), &QAction::triggered,
            this, &CLumaraGUIDlg::OnFileSaveCsv);
    connect(AddCommand(file, ID_FILE_SAVETXT, QStringLiteral("Save &TXT...")), &QAction::triggered,
            this, &CLumaraGUIDlg::OnFileSaveTxt);
    connect(AddCommand(file, ID_FILE_EXIT, QStringLiteral("E&xit")), &QAction::triggered, this,
            &CLumaraGUIDlg::OnFileExit);
    QMenu* observe = AddMenu(QStringLiteral("&Observe"));
    connect(AddCommand(observe, ID_OBSERVE_SITE, QStringLiteral("&Site and Night...")),
            &QAction::triggered, this, &CLumaraGUIDlg::OnObserveSite);
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
    clicked(IDC_TONIGHT, &CLumaraGUIDlg::OnBnClickedTonight);
    clicked(IDC_EVENT_TONIGHT, &CLumaraGUIDlg::OnBnClickedEventTonight);

    OnInitDialog();
}

void CLumaraGUIDlg::OnInitDialog() {
    auto* types = qobject_cast<QComboBox*>(GetDlgItem(IDC_TYPE));
    // A blank type asks for none; a family's label picks the family.
    types->addItem(QString());
    for (const lumara::FamilyInfo& family : lumara::Families()) {
        types->addItem(
            QString::fromUtf8(family.label.data(), static_cast<qsizetype>(family.label.size())));
    }
    UpdateData(false);
    SetUpList();
    ReadPlanSettings();
    ShowNightPanel(nullptr);
    RestoreLayout();
    ApplyColumnWidths();
}

void CLumaraGUIDlg::SetUpList() {
    QTableView* list = List();
    list->setModel(&m_starList);
    QHeaderView* header = list->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    connect(header, &QHeaderView::sectionClicked, this, &CLumaraGUIDlg::OnHeaderClicked);
    connect(list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &CLumaraGUIDlg::OnListSelectionChanged);
    auto* copy = new QAction(list);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    list->addAction(copy);
    connect(copy, &QAction::triggered, this, &CLumaraGUIDlg::OnEditCopy);
    // The widths the user gave survive every change of the rows and columns;
    // while the model resets, the header's own resizing is not the user's.
    connect(&m_starList, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_followColumnWidths = false; });
    connect(&m_starList, &QAbstractItemModel::modelReset, this, &CLumaraGUIDlg::ApplyColumnWidths);
    connect(header, &QHeaderView::sectionResized, this, &CLumaraGUIDlg::OnColumnResized);
    for (const lumara::ListColumn& column : lumara::ListColumns()) {
        m_columnWidths.push_back(ColumnPixels(column, Units().BaseWidth()));
    }
}

void CLumaraGUIDlg::ReadPlanSettings() {
    const lumara::SettingsLoad settings = lumara::LoadPlanSettings();
    m_planSettings = settings.settings;
    if (!settings.problem.empty()) {
        Dialogs().ShowMessage(this, kSettingsUnread.arg(QString::fromStdString(settings.problem)));
    }
    lumara::plan::CivilDate tonight;
    if (lumara::TonightDate(m_planSettings, tonight) == lumara::plan::NightStatus::Ok) {
        m_nightDate = tonight;
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
    DDX_Text(dx, IDC_NAME, m_strName);
    DDV_Name(dx);
    DDX_Text(dx, IDC_TYPE, m_strType);
    DDV_Type(dx);
    DDX_Check(dx, IDC_TONIGHT, c.observableTonight);
    DDX_Check(dx, IDC_EVENT_TONIGHT, c.eventTonight);
    ExchangeStatus(dx);
}

void CLumaraGUIDlg::DDV_Name(CDataExchange& dx) {
    if (!dx.m_bSaveAndValidate || dx.Failed()) {
        return;
    }
    if (m_strName.trimmed().isEmpty()) {
        m_criteria.name.reset();
        return;
    }
    auto prepared = lumara::NameMatcher::Prepare(CatalogueText(m_strName));
    if (const auto* error = std::get_if<lumara::NamePatternError>(&prepared)) {
        dx.Fail(QString::fromStdString(lumara::Describe(*error)));
        return;
    }
    m_criteria.name = std::get<lumara::NameMatcher>(std::move(prepared));
}

void CLumaraGUIDlg::DDV_Type(CDataExchange& dx) {
    if (!dx.m_bSaveAndValidate || dx.Failed()) {
        return;
    }
    const QString text = m_strType.trimmed();
    if (text.isEmpty()) {
        m_criteria.families = 0;
        m_criteria.types.reset();
        return;
    }
    for (const lumara::FamilyInfo& family : lumara::Families()) {
        if (text.toStdString() == family.label) {
            m_criteria.families = lumara::MaskOf(family.family);
            m_criteria.types.reset();
            return;
        }
    }
    auto parsed = lumara::TypeMatcher::Parse(CatalogueText(text));
    if (const auto* fault = std::get_if<lumara::TypePatternFault>(&parsed)) {
        dx.Fail(QString::fromStdString(lumara::Describe(*fault)));
        return;
    }
    m_criteria.families = 0;
    m_criteria.types = std::get<lumara::TypeMatcher>(std::move(parsed));
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
    return m_starList.Rebuild(RowOrder::Hidden, nullptr, [&localPath](CStarCatalog& catalog) {
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
    ShowNightPanel(nullptr);
    if (loaded > 0) {
        EnableControls(kLocationGroup, true);
        EnableControls(kFindControls, true);
        EnableControls(kSearchControls, true);
        // The light-curve controls follow the boxes as the user left them.
        OnBnClickedNoLightCurve();
        FocusControl(IDC_RA_WEST);
        SelectText(IDC_RA_WEST, 0, kRaWestSelection);
        m_nRecordsLoaded = loaded;
    } else {
        EnableControls(kLocationGroup, false);
        EnableControls(kFindControls, false);
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
    bool refused = false;
    std::shared_ptr<const lumara::TonightContext> night = PrepareNight(refused);
    if (refused) {
        return;
    }
    m_criteria.tonight = night;
    m_nStarsFound =
        m_starList.Rebuild(ascending ? RowOrder::Ascending : RowOrder::Descending, night,
                           [this](CStarCatalog& catalog) { return catalog.Search(m_criteria); });
    // A search lists the stars in catalogue order again.
    m_sortColumn = -1;
    List()->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    ShowNightPanel(night);
    if (m_nStarsFound < 0) {
        m_nStarsFound = 0;
        Dialogs().ShowMessage(this, kSearchError);
    }
    UpdateData(false);
}

void CLumaraGUIDlg::OnOK() {
    if (GetDlgItem(IDC_SEARCH_ASC)->isEnabled()) {
        OnBnClickedSearchAsc();
    }
}

std::shared_ptr<const lumara::TonightContext> CLumaraGUIDlg::PrepareNight(bool& refused) {
    refused = false;
    if (!m_criteria.observableTonight && !m_criteria.eventTonight) {
        return nullptr;
    }
    if ((!m_planSettings.site || !m_nightDate) && !AskForSite()) {
        refused = true;
        return nullptr;
    }
    auto night = std::make_shared<lumara::TonightContext>();
    const lumara::plan::NightStatus status =
        lumara::PrepareTonight(m_planSettings, *m_nightDate, *night, NEXT_EVENT_NIGHTS);
    if (status != lumara::plan::NightStatus::Ok) {
        Dialogs().ShowMessage(this, QString::fromStdString(lumara::plan::DescribeStatus(status)));
        refused = true;
        return nullptr;
    }
    return night;
}

void CLumaraGUIDlg::ShowNightPanel(const std::shared_ptr<const lumara::TonightContext>& night) {
    const bool shown = night != nullptr;
    auto* line = qobject_cast<QLabel*>(GetDlgItem(IDC_NIGHT_LINE));
    line->setText(shown ? QString::fromStdString(lumara::DescribeNight(*night)) : QString());
    line->setVisible(shown);
    m_chart->ShowNight(night);
    m_chart->setVisible(shown);
    MoveControl(IDC_STAR_LIST, shown ? kListAboveNightUnits : kListUnits);
}

bool CLumaraGUIDlg::AskForSite() {
    CSiteDlg site(Dialogs(), m_planSettings, m_nightDate, this);
    if (site.DoModal() != QDialog::Accepted) {
        return false;
    }
    m_planSettings = site.Settings();
    m_nightDate = site.Night();
    std::string problem;
    if (!lumara::SavePlanSettings(m_planSettings, problem)) {
        Dialogs().ShowMessage(this, kSettingsUnsaved.arg(QString::fromStdString(problem)));
    }
    return true;
}

void CLumaraGUIDlg::OnObserveSite() {
    AskForSite();
}

void CLumaraGUIDlg::RequireSite(int boxId) {
    // The night's tests need a site: without one, the box asks for it first.
    if (IsChecked(boxId) && !m_planSettings.site && !AskForSite()) {
        qobject_cast<QAbstractButton*>(GetDlgItem(boxId))->setChecked(false);
    }
}

QTableView* CLumaraGUIDlg::List() const {
    return qobject_cast<QTableView*>(GetDlgItem(IDC_STAR_LIST));
}

void CLumaraGUIDlg::OnHeaderClicked(int column) {
    QHeaderView* header = List()->horizontalHeader();
    // Rows hidden after a load stay unsorted: the list shows none.
    if (m_starList.rowCount() == 0) {
        header->setSortIndicator(m_sortColumn,
                                 m_sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
        return;
    }
    // The same column again reverses the order; another starts ascending.
    const bool descending = column == m_sortColumn && !m_sortDescending;
    if (m_starList.Sort(column, descending) < 0) {
        Dialogs().ShowMessage(this, kSortError);
    } else {
        m_sortColumn = column;
        m_sortDescending = descending;
    }
    header->setSortIndicator(m_sortColumn,
                             m_sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
    m_chart->ShowStar(std::nullopt, {}, {});
}

void CLumaraGUIDlg::OnListSelectionChanged() {
    const QModelIndex current = List()->selectionModel()->currentIndex();
    if (m_starList.Night() == nullptr || !current.isValid()) {
        m_chart->ShowStar(std::nullopt, {}, {});
        return;
    }
    const StarRecord& record = m_starList.RecordAt(current.row());
    const lumara::SkyPlace place = lumara::PlaceOf(record);
    const std::string_view name = lumara::FullNameOf(record);
    std::vector<lumara::plan::StarEvent> events;
    lumara::EventsOf(*m_starList.Night(), record, events);
    m_chart->ShowStar(
        lumara::plan::StarPlace{place.raDeg, place.decDeg},
        QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())).simplified(), events);
}

void CLumaraGUIDlg::OnEditCopy() {
    std::vector<int> rows;
    for (const QModelIndex& row : List()->selectionModel()->selectedRows()) {
        rows.push_back(row.row());
    }
    std::sort(rows.begin(), rows.end());
    QGuiApplication::clipboard()->setText(m_starList.TabSeparated(rows));
}

void CLumaraGUIDlg::ApplyColumnWidths() {
    QHeaderView* header = List()->horizontalHeader();
    const std::span<const lumara::ListColumn> columns = lumara::ListColumns();
    for (int shown = 0; shown < m_starList.columnCount(); ++shown) {
        const auto index = static_cast<std::size_t>(&m_starList.ColumnAt(shown) - columns.data());
        header->resizeSection(shown, m_columnWidths[index]);
    }
    m_followColumnWidths = true;
}

void CLumaraGUIDlg::OnColumnResized(int column, int /*oldWidth*/, int newWidth) {
    if (!m_followColumnWidths) {
        return;
    }
    const auto index =
        static_cast<std::size_t>(&m_starList.ColumnAt(column) - lumara::ListColumns().data());
    m_columnWidths[index] = newWidth;
}

void CLumaraGUIDlg::RestoreLayout() {
    const QString path = LayoutPath();
    if (path.isEmpty()) {
        return;
    }
    const QSettings layout(path, QSettings::IniFormat);
    restoreGeometry(layout.value(kGeometryKey).toByteArray());
    const QVariantList widths = layout.value(kColumnsKey).toList();
    for (std::size_t column = 0;
         column < m_columnWidths.size() && column < static_cast<std::size_t>(widths.size());
         ++column) {
        const int width = widths[static_cast<qsizetype>(column)].toInt();
        if (width > 0) {
            m_columnWidths[column] = width;
        }
    }
}

void CLumaraGUIDlg::SaveLayout() const {
    const QString path = LayoutPath();
    if (path.isEmpty()) {
        return;
    }
    QSettings layout(path, QSettings::IniFormat);
    layout.setValue(kGeometryKey, saveGeometry());
    QVariantList widths;
    for (const int width : m_columnWidths) {
        widths.append(width);
    }
    layout.setValue(kColumnsKey, widths);
}

void CLumaraGUIDlg::done(int result) {
    SaveLayout();
    CDialog::done(result);
}
