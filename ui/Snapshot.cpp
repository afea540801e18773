// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Renders the search window to a PNG file after loading a catalogue and
// searching it in ascending order, so the window can be looked at without
// running it:
//
//   lumara-snapshot [--size=WxH] [--site=LAT,LON,ZONE,YYYY-MM-DD] [--site-picture=PNG]
//                   [--events] [--sort=COLUMN[,desc]] [--select=ROW] CATALOGUE PICTURE
//
// --site fills in Observe > Site and Night... and ticks "Observable tonight";
// --site-picture renders that dialog, filled in, before it is accepted;
// --events, with --site, ticks "With a minimum or maximum tonight" too;
// --sort clicks a column's header (from 0), twice for desc; --select selects
// a row, whose altitude the chart then shows. The window's settings go to a
// temporary folder, never the user's.

#include "ApplicationLook.h"
#include "LumaraGUIDlg.h"
#include "Resource.h"
#include "UserDialogs.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <optional>

namespace {
constexpr int kPositionalArguments = 2;
constexpr int kSiteFields = 4;

struct SnapshotOptions {
    QString catalogue;
    QString picture;
    QSize size;
    QStringList site; // latitude, longitude, zone, night
    QString sitePicture;
    bool eventTonight = false;
    int sortColumn = -1;
    bool sortDescending = false;
    int selectRow = -1;
};

std::optional<SnapshotOptions> ReadOptions(const QStringList& arguments) {
    SnapshotOptions options;
    QStringList positional;
    for (const QString& argument : arguments.mid(1)) {
        const QString value = argument.section(QLatin1Char('='), 1);
        bool ok = true;
        if (argument.startsWith(QLatin1String("--size="))) {
            const QStringList sides = value.split(QLatin1Char('x'));
            bool height = sides.size() == 2;
            options.size = {sides.value(0).toInt(&ok), sides.value(1).toInt(&height)};
            ok = ok && height;
        } else if (argument.startsWith(QLatin1String("--site="))) {
            options.site = value.split(QLatin1Char(','));
            ok = options.site.size() == kSiteFields;
        } else if (argument.startsWith(QLatin1String("--site-picture="))) {
            options.sitePicture = value;
        } else if (argument == QLatin1String("--events")) {
            options.eventTonight = true;
        } else if (argument.startsWith(QLatin1String("--sort="))) {
            options.sortColumn = value.section(QLatin1Char(','), 0, 0).toInt(&ok);
            options.sortDescending = value.section(QLatin1Char(','), 1) == QLatin1String("desc");
        } else if (argument.startsWith(QLatin1String("--select="))) {
            options.selectRow = value.toInt(&ok);
        } else if (argument.startsWith(QLatin1String("--"))) {
            ok = false;
        } else {
            positional.append(argument);
        }
        if (!ok) {
            return std::nullopt;
        }
    }
    // Without a site the box would wait for one in a dialog nobody answers.
    if (positional.size() != kPositionalArguments ||
        (options.eventTonight && options.site.isEmpty())) {
        return std::nullopt;
    }
    options.catalogue = positional[0];
    options.picture = positional[1];
    return options;
}

// Fills in the Site and Night dialog that the next command opens, renders
// it to `picture` when one is named, and accepts it.
void AnswerSiteDialog(const QStringList& site, const QString& picture) {
    QTimer::singleShot(0, [site, picture] {
        auto* dialog = qobject_cast<CDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        const int fields[] = {IDC_SITE_LATITUDE, IDC_SITE_LONGITUDE, IDC_SITE_ZONE, IDC_SITE_NIGHT};
        for (int field = 0; field < kSiteFields; ++field) {
            dialog->GetEditField(fields[field])->setText(site[field]);
        }
        if (!picture.isEmpty() && !dialog->grab().save(picture)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(picture));
        }
        qobject_cast<QAbstractButton*>(dialog->GetDlgItem(IDOK))->click();
    });
}

void Click(const CLumaraGUIDlg& window, int id) {
    qobject_cast<QAbstractButton*>(window.GetDlgItem(id))->click();
}
} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const std::optional<SnapshotOptions> options = ReadOptions(QApplication::arguments());
    if (!options) {
        std::fprintf(stderr,
                     "usage: %s [--size=WxH] [--site=LAT,LON,ZONE,YYYY-MM-DD] "
                     "[--site-picture=PNG] [--events] [--sort=COLUMN[,desc]] [--select=ROW] "
                     "CATALOGUE PICTURE.png\n",
                     argv[0]);
        return 2;
    }
    ApplyApplicationLook("Lumara");
    const QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));

    ScriptedUserDialogs dialogs;
    dialogs.AnswerWith(options->catalogue);
    CLumaraGUIDlg window(dialogs);
    window.show();
    if (options->size.isValid()) {
        window.resize(options->size);
    }
    window.GetCommand(ID_FILE_LOADDATA)->trigger();
    if (!options->site.isEmpty()) {
        AnswerSiteDialog(options->site, options->sitePicture);
        window.GetCommand(ID_OBSERVE_SITE)->trigger();
        Click(window, IDC_TONIGHT);
        if (options->eventTonight) {
            Click(window, IDC_EVENT_TONIGHT);
        }
    }
    Click(window, IDC_SEARCH_ASC);
    auto* list = qobject_cast<QTableView*>(window.GetDlgItem(IDC_STAR_LIST));
    if (options->sortColumn >= 0) {
        for (int click = 0; click < (options->sortDescending ? 2 : 1); ++click) {
            emit list->horizontalHeader()->sectionClicked(options->sortColumn);
        }
    }
    if (options->selectRow >= 0) {
        list->selectRow(options->selectRow);
    }
    QApplication::processEvents();

    for (const QString& message : dialogs.Messages()) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
    if (!window.grab().save(options->picture)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(options->picture));
        return 1;
    }
    return dialogs.Messages().isEmpty() ? 0 : 1;
}
