// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SiteDlg.h"

#include "Resource.h"

#include <QComboBox>
#include <QPushButton>
#include <array>
#include <limits>

namespace {
namespace plan = lumara::plan;

constexpr QSize kSiteUnits{200, 161};
// Numbers are written back with as many digits as they need, up to this.
constexpr int kShownDigits = std::numeric_limits<double>::digits10;

constexpr ControlTemplate kSiteTemplate[] = {
    {IDC_STATIC, ControlKind::Label, "Latitude:", {7, 9, 68, 8}, kTextRight},
    {IDC_SITE_LATITUDE, ControlKind::Edit, "", {80, 7, 113, 12}, 0},
    {IDC_STATIC, ControlKind::Label, "Longitude:", {7, 25, 68, 8}, kTextRight},
    {IDC_SITE_LONGITUDE, ControlKind::Edit, "", {80, 23, 113, 12}, 0},
    {IDC_STATIC, ControlKind::Label, "Height (m):", {7, 41, 68, 8}, kTextRight},
    {IDC_SITE_HEIGHT, ControlKind::Edit, "", {80, 39, 113, 12}, 0},
    {IDC_STATIC, ControlKind::Label, "Time zone:", {7, 57, 68, 8}, kTextRight},
    {IDC_SITE_ZONE, ControlKind::ComboBox, "", {80, 55, 113, 12}, 0},
    {IDC_STATIC, ControlKind::Label, "Night of:", {7, 73, 68, 8}, kTextRight},
    {IDC_SITE_NIGHT, ControlKind::Edit, "", {80, 71, 113, 12}, 0},
    {IDC_STATIC, ControlKind::Label, "Twilight:", {7, 89, 68, 8}, kTextRight},
    {IDC_SITE_TWILIGHT, ControlKind::ComboBox, "", {80, 87, 113, 12}, 0},
    {IDC_STATIC, ControlKind::Label, "Min. altitude (\xB0):", {7, 105, 68, 8}, kTextRight},
    {IDC_SITE_MIN_ALTITUDE, ControlKind::Edit, "", {80, 103, 113, 12}, 0},
    {IDC_STATIC, ControlKind::Label, "Min. hours up:", {7, 121, 68, 8}, kTextRight},
    {IDC_SITE_MIN_HOURS, ControlKind::Edit, "", {80, 119, 113, 12}, 0},
    {IDOK, ControlKind::PushButton, "OK", {86, 140, 50, 14}, kDefaultButton},
    {IDCANCEL, ControlKind::PushButton, "Cancel", {143, 140, 50, 14}, 0},
};

struct NamedTwilight {
    const char* name;
    double sunAltitudeDeg;
};
constexpr std::array<NamedTwilight, 3> kNamedTwilights = {{
    {"astronomical", plan::kAstronomicalTwilight},
    {"nautical", plan::kNauticalTwilight},
    {"civil", plan::kCivilTwilight},
}};

QString NumberText(double value) {
    return FormatNumber(value, kShownDigits);
}

QString TwilightText(double sunAltitudeDeg) {
    for (const NamedTwilight& twilight : kNamedTwilights) {
        if (twilight.sunAltitudeDeg == sunAltitudeDeg) {
            return QString::fromLatin1(twilight.name);
        }
    }
    return NumberText(sunAltitudeDeg);
}
} // namespace

CSiteDlg::CSiteDlg(UserDialogs& dialogs, const plan::PlanSettings& settings,
                   const std::optional<plan::CivilDate>& night, QWidget* owner)
    : CDialog(dialogs, kSiteUnits, QStringLiteral("Site and Night"), DialogFrame::Fixed, owner),
      m_settings(settings), m_site(settings.site.value_or(plan::Site{})),
      m_night(night.value_or(plan::CivilDate{})) {
    CreateControls(kSiteTemplate);
    auto* zones = qobject_cast<QComboBox*>(GetDlgItem(IDC_SITE_ZONE));
    for (const std::string& zone : plan::ZoneNames()) {
        zones->addItem(QString::fromStdString(zone));
    }
    // A blank night is tonight.
    GetEditField(IDC_SITE_NIGHT)
        ->setPlaceholderText(QStringLiteral("YYYY-MM-DD, blank for tonight"));
    auto* twilights = qobject_cast<QComboBox*>(GetDlgItem(IDC_SITE_TWILIGHT));
    for (const NamedTwilight& twilight : kNamedTwilights) {
        twilights->addItem(QString::fromLatin1(twilight.name));
    }
    connect(qobject_cast<QPushButton*>(GetDlgItem(IDOK)), &QPushButton::clicked, this,
            &CSiteDlg::OnOK);
    connect(qobject_cast<QPushButton*>(GetDlgItem(IDCANCEL)), &QPushButton::clicked, this,
            &CSiteDlg::reject);

    if (settings.site) {
        m_strLatitude = NumberText(m_site.latitudeDeg);
        m_strLongitude = NumberText(m_site.longitudeDeg);
    }
    m_strHeight = NumberText(m_site.heightM);
    m_strZone = QString::fromStdString(settings.zone);
    if (night) {
        m_strNight = QString::fromStdString(plan::FormatDate(*night));
    }
    m_strTwilight = TwilightText(settings.twilightDeg);
    m_strMinAltitude = NumberText(settings.minAltitudeDeg);
    m_strMinHours = NumberText(settings.minHours);
    UpdateData(false);
}

void CSiteDlg::DDV_Quantity(CDataExchange& dx, plan::Quantity quantity, const QString& text,
                            double& value) {
    if (!dx.m_bSaveAndValidate || dx.Failed()) {
        return;
    }
    const plan::Parsed<double> read = plan::ParseQuantity(quantity, text.toStdString());
    if (!read.ok()) {
        dx.Fail(QString::fromStdString(read.error));
        return;
    }
    value = read.value;
}

void CSiteDlg::DDV_Zone(CDataExchange& dx) {
    if (!dx.m_bSaveAndValidate || dx.Failed()) {
        return;
    }
    const plan::Parsed<std::string> read = plan::ParseZone(m_strZone.trimmed().toStdString());
    if (!read.ok()) {
        dx.Fail(QString::fromStdString(read.error));
        return;
    }
    m_settings.zone = read.value;
}

void CSiteDlg::DDV_Night(CDataExchange& dx) {
    if (!dx.m_bSaveAndValidate || dx.Failed()) {
        return;
    }
    const QString text = m_strNight.trimmed();
    if (text.isEmpty()) {
        plan::PlanSettings here = m_settings;
        here.site = m_site;
        const plan::NightStatus status = lumara::TonightDate(here, m_night);
        if (status != plan::NightStatus::Ok) {
            dx.Fail(QString::fromStdString(plan::DescribeStatus(status)));
        }
        return;
    }
    const plan::Parsed<plan::CivilDate> read = plan::ParseDate(text.toStdString());
    if (!read.ok()) {
        dx.Fail(QString::fromStdString(read.error));
        return;
    }
    m_night = read.value;
}

void CSiteDlg::DoDataExchange(CDataExchange& dx) {
    using plan::Quantity;
    DDX_Text(dx, IDC_SITE_LATITUDE, m_strLatitude);
    DDV_Quantity(dx, Quantity::Latitude, m_strLatitude, m_site.latitudeDeg);
    DDX_Text(dx, IDC_SITE_LONGITUDE, m_strLongitude);
    DDV_Quantity(dx, Quantity::Longitude, m_strLongitude, m_site.longitudeDeg);
    DDX_Text(dx, IDC_SITE_HEIGHT, m_strHeight);
    DDV_Quantity(dx, Quantity::Height, m_strHeight, m_site.heightM);
    DDX_Text(dx, IDC_SITE_ZONE, m_strZone);
    DDV_Zone(dx);
    DDX_Text(dx, IDC_SITE_NIGHT, m_strNight);
    DDV_Night(dx);
    DDX_Text(dx, IDC_SITE_TWILIGHT, m_strTwilight);
    DDV_Quantity(dx, Quantity::Twilight, m_strTwilight, m_settings.twilightDeg);
    DDX_Text(dx, IDC_SITE_MIN_ALTITUDE, m_strMinAltitude);
    DDV_Quantity(dx, Quantity::MinAltitude, m_strMinAltitude, m_settings.minAltitudeDeg);
    DDX_Text(dx, IDC_SITE_MIN_HOURS, m_strMinHours);
    DDV_Quantity(dx, Quantity::MinHours, m_strMinHours, m_settings.minHours);
    if (dx.m_bSaveAndValidate && !dx.Failed()) {
        m_settings.site = m_site;
    }
}
