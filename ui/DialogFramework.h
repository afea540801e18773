// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The little that the windows need of a dialog framework on top of Qt:
// controls placed in dialog units and addressed by control ID, a modal run,
// the field exchange in both directions, the Enter and Escape keys of a
// classic dialog, and, in a window that may be resized, controls whose edges
// follow the window's right and bottom edges.
#pragma once

#include "FieldExchange.h"

#include <QDialog>
#include <QRect>
#include <map>
#include <span>
#include <vector>

class QAction;
class QLineEdit;
class QMenu;
class QMenuBar;
class QTableView;
class UserDialogs;

// Dialog units are measured on the dialog font: a horizontal unit is a
// quarter of its average character width, a vertical unit an eighth of its
// height, so a layout keeps its proportions with any font.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int BaseWidth() const { return m_baseWidth; }
    int BaseHeight() const { return m_baseHeight; }
    // Maps each edge on its own, as the rectangles of a template are mapped.
    QRect Map(const QRect& units) const;

private:
    int m_baseWidth;
    int m_baseHeight;
};

// ComboBox: a drop-down list whose text may also be typed.
enum class ControlKind { Edit, PushButton, CheckBox, ListView, Label, GroupBox, Icon, ComboBox };

// Styles of a control in a template; a control has none of them unless said.
enum ControlStyle : unsigned {
    kDisabled = 1U << 0,
    kNoTabStop = 1U << 1,
    kTextRight = 1U << 2,
    kDefaultButton = 1U << 3,
    // In a resizable window: the right edge keeps its distance from the
    // window's right edge, the bottom edge from its bottom edge; or the whole
    // control keeps its distance from the bottom edge.
    kGrowWidth = 1U << 4,
    kGrowHeight = 1U << 5,
    kFollowBottom = 1U << 6,
};

// Whether the user may resize a window.
enum class DialogFrame {
    Fixed,
    FixedMinimizable,
    Resizable, // with minimise and maximise boxes; never smaller than its template
};

// One control of a window's template, its place and size in dialog units.
struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* caption;
    QRect units;
    unsigned styles;
};

class CDialog : public QDialog, public FieldHost {
    Q_OBJECT
public:
    // Runs the window modally; returns when it has closed.
    int DoModal() { return exec(); }

    // true reads every control into its member (stopping at the first field
    // refused), false writes every member into its control. Returns false
    // when a field was refused.
    bool UpdateData(bool saveAndValidate = true);

    QWidget* GetDlgItem(int id) const override;
    // The text field of an edit, or of a combo box.
    QLineEdit* GetEditField(int id) const;
    QAction* GetCommand(int id) const;
    // The area below the menu bar, where the template's coordinates start.
    QWidget* Client() const { return m_client; }
    const DialogUnits& Units() const { return m_units; }
    UserDialogs& Dialogs() const { return m_dialogs; }

    void EnableControl(int id, bool enable);
    void FocusControl(int id);
    // Selects the characters of an edit from start up to end and scrolls the
    // caret into view.
    void SelectText(int id, int start, int end);
    bool IsChecked(int id) const;
    void RefuseField(int id, const QString& message) override;

protected:
    CDialog(UserDialogs& dialogs, QSize sizeInUnits, const QString& caption, DialogFrame frame,
            QWidget* parent);

    virtual void DoDataExchange(CDataExchange& dx) = 0;
    // Enter anywhere but on a push button: the window closes once every field
    // passes the reading exchange.
    virtual void OnOK();

    // Makes the controls in template order, which Qt keeps as the tab order
    // and the drawing order. IDC_STATIC controls get no ID.
    void CreateControls(std::span<const ControlTemplate> controls);
    // Places a control made elsewhere as CreateControls places its own.
    void PlaceControl(const ControlTemplate& control, QWidget* widget);
    // Moves a control to another place of the template, in dialog units.
    void MoveControl(int id, const QRect& units);
    QMenu* AddMenu(const QString& title);
    QAction* AddCommand(QMenu* menu, int id, const QString& text);

    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A control that follows the window's edges, with its template place.
    struct Anchored {
        QWidget* widget;
        QRect units;
        unsigned styles;
    };

    QWidget* CreateControl(const ControlTemplate& control);
    QTableView* CreateListView();
    QWidget* CreateComboBox();
    // Places every anchored control for the client area's present size.
    void FollowEdges();
    void PlaceAnchored(const Anchored& control);

    UserDialogs& m_dialogs;
    DialogUnits m_units;
    QWidget* m_client;
    QMenuBar* m_menuBar = nullptr;
    // The client area's size at the template's size.
    QSize m_templatePixels;
    std::vector<Anchored> m_anchored;
    std::map<int, QWidget*> m_controls;
    std::map<int, QAction*> m_commands;
};
