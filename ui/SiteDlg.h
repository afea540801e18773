// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Observe > Site and Night...: where the user observes from, the time zone
// of the site's clocks, the night, and what counts as dark and as up. Each
// field is read as the planner reads it, and a value it refuses is reported
// on its field like any other field of the windows.
#pragma once

#include "DialogFramework.h"
#include "Tonight.h"

#include <optional>

class CSiteDlg : public CDialog {
    Q_OBJECT
public:
    // Shows `settings`, and `night` or, without one, a blank night that
    // stands for tonight at the site given.
    CSiteDlg(UserDialogs& dialogs, const lumara::plan::PlanSettings& settings,
             const std::optional<lumara::plan::CivilDate>& night, QWidget* owner);

    // What the user accepted; valid once DoModal has returned Accepted.
    const lumara::plan::PlanSettings& Settings() const { return m_settings; }
    const lumara::plan::CivilDate& Night() const { return m_night; }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    // Reads the field exchanged last as `quantity`, into value.
    static void DDV_Quantity(CDataExchange& dx, lumara::plan::Quantity quantity,
                             const QString& text, double& value);
    void DDV_Zone(CDataExchange& dx);
    // A blank night is tonight at the site and zone read before it.
    void DDV_Night(CDataExchange& dx);

    lumara::plan::PlanSettings m_settings;
    lumara::plan::Site m_site;
    lumara::plan::CivilDate m_night;

    // The fields' texts, as the dialog last read or wrote them.
    QString m_strLatitude;
    QString m_strLongitude;
    QString m_strHeight;
    QString m_strZone;
    QString m_strNight;
    QString m_strTwilight;
    QString m_strMinAltitude;
    QString m_strMinHours;
};
