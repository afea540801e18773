// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <string_view>

#include "LineFormat.h"
#include "TestFiles.h"

namespace {
using namespace lumara::format;
// Where each typed field of a test line ends: at the next field's column.
constexpr int kPositionColumns = kNameColumn;
constexpr int kNameColumns = kTypeColumn - kNameColumn;
constexpr int kTypeColumns = kRangeColumn - kTypeColumn;
constexpr int kRangeColumns = kPeriodIntegerColumns[0] - kRangeColumn;
constexpr int kPeriodColumns = kDescColumn - kPeriodIntegerColumns[0];
constexpr int kLineLength = kStoredLineChars;

QByteArray Stored(std::string_view line) {
    return QByteArray(line.data(), static_cast<qsizetype>(line.size())).leftJustified(kLineLength);
}
} // namespace

QByteArray StarLine(const char* position, const char* name, const char* type, const char* range,
                    const char* period, const char* description) {
    const QByteArray line = QByteArray(position).leftJustified(kPositionColumns) +
                            QByteArray(name).leftJustified(kNameColumns) +
                            QByteArray(type).leftJustified(kTypeColumns) +
                            QByteArray(range).leftJustified(kRangeColumns) +
                            QByteArray(period).leftJustified(kPeriodColumns) + description;
    return line.leftJustified(kLineLength);
}

QList<QByteArray> ExampleStars() {
    return {
        Stored(lumara::test::kMiraLike),
        Stored(lumara::test::kEclipsing),
        Stored(lumara::test::kNoLightCurve),
        StarLine("0507-05", "SS Abc", "EW", "  5.10 - 5.60", "   1.5", "short period"),
    };
}

void OnNextModal(std::function<void(QWidget*)> check) {
    QTimer::singleShot(0, [check = std::move(check)] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        check(modal);
    });
}

void WindowTest::SetUp() {
    ASSERT_TRUE(m_folder.isValid());
    // The window's settings go to a folder of the test's own.
    ASSERT_TRUE(QDir(m_folder.path()).mkpath(QStringLiteral("config")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(PathOf(QStringLiteral("config"))));
    Reopen();
}

void WindowTest::Reopen() {
    m_window = std::make_unique<CLumaraGUIDlg>(m_dialogs);
    m_window->show();
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
}

QString WindowTest::WriteFile(const QString& name, const QList<QByteArray>& lines) {
    QFile file(PathOf(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    for (const QByteArray& line : lines) {
        file.write(line + "\n");
    }
    return file.fileName();
}

QByteArray WindowTest::ReadFile(const QString& path) const {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

QLineEdit* WindowTest::Edit(int id) const {
    return qobject_cast<QLineEdit*>(m_window->GetDlgItem(id));
}

QAbstractButton* WindowTest::Button(int id) const {
    return qobject_cast<QAbstractButton*>(m_window->GetDlgItem(id));
}

QTableView* WindowTest::List() const {
    return qobject_cast<QTableView*>(m_window->GetDlgItem(IDC_STAR_LIST));
}

int WindowTest::RowCount() const {
    return List()->model()->rowCount();
}

QStringList WindowTest::Row(int row) const {
    QStringList cells;
    const QAbstractItemModel* model = List()->model();
    for (int column = 0; column < model->columnCount(); ++column) {
        cells.append(model->index(row, column).data().toString());
    }
    return cells;
}

QStringList WindowTest::Texts(std::initializer_list<int> ids) const {
    QStringList texts;
    for (const int id : ids) {
        texts.append(Edit(id)->text());
    }
    return texts;
}

std::vector<bool> WindowTest::EnabledStates() const {
    std::vector<bool> states;
    for (const int id :
         {IDC_RA_WEST, IDC_RA_EAST, IDC_DEC_SOUTH, IDC_DEC_NORTH, IDC_MAG_MAX, IDC_MAG_MIN,
          IDC_PERIOD_LEAST, IDC_PERIOD_MOST, IDC_USE_MAGNITUDE, IDC_USE_PERIOD, IDC_SEARCH_ASC,
          IDC_SEARCH_DESC, IDC_NO_LIGHT_CURVE, IDC_TONIGHT, IDC_EVENT_TONIGHT}) {
        states.push_back(m_window->GetDlgItem(id)->isEnabled());
    }
    return states;
}

void WindowTest::Trigger(int commandId) {
    m_window->GetCommand(commandId)->trigger();
}

void WindowTest::Load(const QString& path) {
    m_dialogs.AnswerWith(path);
    Trigger(ID_FILE_LOADDATA);
}

void WindowTest::LoadExamples() {
    m_dialogs.Forget();
    Load(WriteFile(QStringLiteral("examples.txt"), ExampleStars()));
    ASSERT_TRUE(m_dialogs.Messages().isEmpty()) << m_dialogs.Messages().join('\n').toStdString();
}

void WindowTest::Type(int id, const QString& text) {
    QLineEdit* edit = Edit(id);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void WindowTest::Click(int id) {
    QTest::mouseClick(Button(id), Qt::LeftButton);
}
