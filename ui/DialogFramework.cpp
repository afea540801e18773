// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DialogFramework.h"

#include "Resource.h"
#include "RightBoxCheckBox.h"
#include "UserDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
constexpr int kDialogFontPoints = 8;
constexpr int kUnitsPerCharWidth = 4;
constexpr int kUnitsPerCharHeight = 8;
constexpr QLatin1StringView kAlphabet{"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"};
constexpr int kLettersPerCase = 26;
// The size of a window icon shown in a dialog.
constexpr int kIconPixels = 32;
// Pixels added to the text height for one row of a list.
constexpr int kRowPadding = 2;

// value * numerator / denominator, rounded to the nearest pixel.
int ScaleRounded(int value, int numerator, int denominator) {
    return (2 * value * numerator + denominator) / (2 * denominator);
}

QFont DialogFont() {
    QFont font = QApplication::font();
    font.setPointSize(kDialogFontPoints);
    return font;
}
} // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width of the 52 letters, rounded half up.
    m_baseWidth = (metrics.horizontalAdvance(kAlphabet) / kLettersPerCase + 1) / 2;
    m_baseHeight = metrics.height();
}

QRect DialogUnits::Map(const QRect& units) const {
    const int left = ScaleRounded(units.x(), m_baseWidth, kUnitsPerCharWidth);
    const int top = ScaleRounded(units.y(), m_baseHeight, kUnitsPerCharHeight);
    const int right = ScaleRounded(units.x() + units.width(), m_baseWidth, kUnitsPerCharWidth);
    const int bottom = ScaleRounded(units.y() + units.height(), m_baseHeight, kUnitsPerCharHeight);
    return {left, top, right - left, bottom - top};
}

CDialog::CDialog(UserDialogs& dialogs, QSize sizeInUnits, const QString& caption, DialogFrame frame,
                 QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_units(DialogFont()), m_client(new QWidget(this)),
      m_templatePixels(m_units.Map(QRect(QPoint(0, 0), sizeInUnits)).size()) {
    setFont(DialogFont());
    setWindowTitle(caption);
    Qt::WindowFlags frameFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (frame != DialogFrame::Fixed) {
        frameFlags |= Qt::WindowMinimizeButtonHint;
    }
    if (frame == DialogFrame::Resizable) {
        frameFlags |= Qt::WindowMaximizeButtonHint;
    }
    setWindowFlags(frameFlags);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_client);
    if (frame == DialogFrame::Resizable) {
        // The template's size is the least; any room beyond it goes to the
        // controls that follow the edges.
        m_client->setMinimumSize(m_templatePixels);
        m_client->installEventFilter(this);
        setSizeGripEnabled(true);
    } else {
        // A fixed frame: the layout refuses resizing.
        m_client->setFixedSize(m_templatePixels);
        layout->setSizeConstraint(QLayout::SetFixedSize);
    }
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx(*this, saveAndValidate);
    DoDataExchange(dx);
    return !dx.Failed();
}

QWidget* CDialog::GetDlgItem(int id) const {
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

QAction* CDialog::GetCommand(int id) const {
    const auto found = m_commands.find(id);
    return found == m_commands.end() ? nullptr : found->second;
}

void CDialog::EnableControl(int id, bool enable) {
    GetDlgItem(id)->setEnabled(enable);
}

void CDialog::FocusControl(int id) {
    GetDlgItem(id)->setFocus(Qt::OtherFocusReason);
}

QLineEdit* CDialog::GetEditField(int id) const {
    return EditFieldOf(GetDlgItem(id));
}

void CDialog::SelectText(int id, int start, int end) {
    // The caret ends at the end of the selection, and the edit scrolls to it.
    GetEditField(id)->setSelection(start, end - start);
}

bool CDialog::IsChecked(int id) const {
    return qobject_cast<QAbstractButton*>(GetDlgItem(id))->isChecked();
}

void CDialog::RefuseField(int id, const QString& message) {
    m_dialogs.ShowMessage(this, message);
    FocusControl(id);
    SelectText(id, 0, static_cast<int>(GetEditField(id)->text().size()));
}

void CDialog::OnOK() {
    if (UpdateData(true)) {
        accept();
    }
}

void CDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || event->modifiers() & ~Qt::KeypadModifier) {
        QDialog::keyPressEvent(event);
        return;
    }
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
        button->click();
    } else {
        OnOK();
    }
}

void CDialog::CreateControls(std::span<const ControlTemplate> controls) {
    for (const ControlTemplate& control : controls) {
        PlaceControl(control, CreateControl(control));
    }
}

void CDialog::PlaceControl(const ControlTemplate& control, QWidget* widget) {
    widget->setParent(m_client);
    widget->setGeometry(m_units.Map(control.units));
    widget->setEnabled((control.styles & kDisabled) == 0);
    if ((control.styles & kNoTabStop) != 0) {
        widget->setFocusPolicy(Qt::ClickFocus);
    }
    if (control.id != IDC_STATIC) {
        m_controls[control.id] = widget;
    }
    if ((control.styles & (kGrowWidth | kGrowHeight | kFollowBottom)) != 0) {
        m_anchored.push_back({widget, control.units, control.styles});
        PlaceAnchored(m_anchored.back());
    }
}

void CDialog::MoveControl(int id, const QRect& units) {
    QWidget* widget = GetDlgItem(id);
    for (Anchored& control : m_anchored) {
        if (control.widget == widget) {
            control.units = units;
            PlaceAnchored(control);
            return;
        }
    }
    widget->setGeometry(m_units.Map(units));
}

void CDialog::PlaceAnchored(const Anchored& control) {
    QRect place = m_units.Map(control.units);
    const QSize extra = m_client->size() - m_templatePixels;
    if ((control.styles & kFollowBottom) != 0) {
        place.translate(0, extra.height());
    }
    if ((control.styles & kGrowWidth) != 0) {
        place.setWidth(place.width() + extra.width());
    }
    if ((control.styles & kGrowHeight) != 0) {
        place.setHeight(place.height() + extra.height());
    }
    control.widget->setGeometry(place);
}

void CDialog::FollowEdges() {
    for (const Anchored& control : m_anchored) {
        PlaceAnchored(control);
    }
}

bool CDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client && event->type() == QEvent::Resize) {
        FollowEdges();
    }
    return QDialog::eventFilter(watched, event);
}

QWidget* CDialog::CreateControl(const ControlTemplate& control) {
    const QString caption = QString::fromLatin1(control.caption);
    const Qt::Alignment side = (control.styles & kTextRight) != 0 ? Qt::AlignRight : Qt::AlignLeft;
    switch (control.kind) {
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(caption, m_client);
        edit->setAlignment(side | Qt::AlignVCenter);
        return edit;
    }
    case ControlKind::PushButton: {
        auto* button = new QPushButton(caption, m_client);
        // Enter on a focused button presses it through keyPressEvent; no
        // button becomes the default by taking the focus.
        button->setAutoDefault(false);
        button->setDefault((control.styles & kDefaultButton) != 0);
        return button;
    }
    case ControlKind::CheckBox:
        return new RightBoxCheckBox(caption, m_client);
    case ControlKind::ListView:
        return CreateListView();
    case ControlKind::Label: {
        auto* label = new QLabel(caption, m_client);
        label->setAlignment(side | Qt::AlignTop);
        label->setWordWrap(true);
        return label;
    }
    case ControlKind::GroupBox: {
        auto* group = new QGroupBox(caption, m_client);
        // A group box only frames: the controls it is drawn over keep their
        // clicks.
        group->setAttribute(Qt::WA_TransparentForMouseEvents);
        return group;
    }
    case ControlKind::ComboBox:
        return CreateComboBox();
    case ControlKind::Icon: {
        auto* icon = new QLabel(m_client);
        icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        icon->setPixmap(windowIcon().pixmap(kIconPixels));
        return icon;
    }
    }
    Q_UNREACHABLE();
}

QTableView* CDialog::CreateListView() {
    auto* list = new QTableView(m_client);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSortingEnabled(false);
    list->setShowGrid(false);
    list->setWordWrap(false);
    list->setTabKeyNavigation(false);
    list->horizontalHeader()->setSectionsClickable(false);
    list->horizontalHeader()->setHighlightSections(false);
    list->horizontalHeader()->setStretchLastSection(false);
    list->verticalHeader()->hide();
    // Rows of one fixed height let the view place any row without measuring
    // the others, however many there are.
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + kRowPadding);
    return list;
}

QWidget* CDialog::CreateComboBox() {
    auto* combo = new QComboBox(m_client);
    combo->setEditable(true);
    // What the user types is the value; it never joins the list.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    return combo;
}

QMenu* CDialog::AddMenu(const QString& title) {
    if (m_menuBar == nullptr) {
        m_menuBar = new QMenuBar(this);
        layout()->setMenuBar(m_menuBar);
    }
    return m_menuBar->addMenu(title);
}

QAction* CDialog::AddCommand(QMenu* menu, int id, const QString& text) {
    QAction* action = menu->addAction(text);
    m_commands[id] = action;
    return action;
}
