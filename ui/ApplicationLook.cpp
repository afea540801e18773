// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ApplicationLook.h"

#include <QApplication>
#include <QFileInfo>

void ApplyApplicationLook(const char* programPath) {
    QCoreApplication::setApplicationName(
        QFileInfo(QString::fromLocal8Bit(programPath)).completeBaseName());
    // The plain look of a classic dialog; Qt builds this style in everywhere.
    QApplication::setStyle(QStringLiteral("Windows"));
    QApplication::setWindowIcon(MainIcon());
}

QIcon MainIcon() {
    return QIcon(QStringLiteral(":/lumara/lumara.png"));
}
