// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The field exchange between a dialog's members and its controls. A reading
// exchange (controls to members) stops at the first refused field: the user
// is told why, the field gets the focus with its text selected, and every
// later member keeps its value. A writing exchange (members to controls)
// cannot fail.
#pragma once

#include <QLineEdit>
#include <QString>
#include <concepts>
#include <limits>
#include <optional>
#include <type_traits>

class QWidget;

// What an exchange needs of the window whose fields it moves: the controls
// by ID, and a way to turn the user to a refused field.
class FieldHost {
public:
    virtual QWidget* GetDlgItem(int id) const = 0;
    // Tells the user message, focuses the edit of control id and selects its
    // whole text.
    virtual void RefuseField(int id, const QString& message) = 0;

protected:
    ~FieldHost() = default;
};

// The text field of an edit, or of a combo box whose text may be typed;
// nullptr for any other control.
QLineEdit* EditFieldOf(QWidget* control);

class CDataExchange {
public:
    CDataExchange(FieldHost& host, bool saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_host(host) {}

    const bool m_bSaveAndValidate;

    bool Failed() const { return m_failed; }
    // The edit of control id (or a combo box's text field), which becomes
    // the field that a later range check reports on; nullptr once the
    // exchange has stopped.
    QLineEdit* PrepareEditCtrl(int id);
    // Reports message on the field prepared last, focuses the field with its
    // whole text selected, and stops the exchange.
    void Fail(const QString& message);
    FieldHost& Host() const { return m_host; }

private:
    FieldHost& m_host;
    int m_idLastControl = 0;
    bool m_failed = false;
};

// Whole decimal numbers and decimal numbers, with blanks around them allowed;
// nothing else reads.
std::optional<long long> ParseInteger(const QString& text);
std::optional<double> ParseNumber(const QString& text);
// The shortest general notation with at most the given significant digits.
QString FormatNumber(double value, int significantDigits);

QString NotAnIntegerMessage();
QString NotANumberMessage();
QString OutOfRangeMessage(bool integral, double min, bool minIncluded, double max);

template <std::integral T> void DDX_Text(CDataExchange& dx, int id, T& value) {
    QLineEdit* edit = dx.PrepareEditCtrl(id);
    if (edit == nullptr) {
        return;
    }
    if (!dx.m_bSaveAndValidate) {
        edit->setText(QString::number(value));
        return;
    }
    const std::optional<long long> read = ParseInteger(edit->text());
    if (!read || *read < std::numeric_limits<T>::min() || *read > std::numeric_limits<T>::max()) {
        dx.Fail(NotAnIntegerMessage());
        return;
    }
    value = static_cast<T>(*read);
}

template <std::floating_point T> void DDX_Text(CDataExchange& dx, int id, T& value) {
    QLineEdit* edit = dx.PrepareEditCtrl(id);
    if (edit == nullptr) {
        return;
    }
    if (!dx.m_bSaveAndValidate) {
        edit->setText(FormatNumber(value, std::numeric_limits<T>::digits10));
        return;
    }
    const std::optional<double> read = ParseNumber(edit->text());
    if (!read || *read < std::numeric_limits<T>::lowest() ||
        *read > std::numeric_limits<T>::max()) {
        dx.Fail(NotANumberMessage());
        return;
    }
    value = static_cast<T>(*read);
}

void DDX_Text(CDataExchange& dx, int id, QString& value);
// A check box is checked or not.
void DDX_Check(CDataExchange& dx, int id, bool& value);

// Range checks of the field exchanged last, inclusive unless minIncluded is
// false. They run only in a reading exchange that has not stopped.
template <typename T>
void DDV_Range(CDataExchange& dx, T value, T min, T max, bool minIncluded = true) {
    if (!dx.m_bSaveAndValidate || dx.Failed()) {
        return;
    }
    const bool aboveMin = minIncluded ? value >= min : value > min;
    if (!aboveMin || value > max) {
        dx.Fail(OutOfRangeMessage(std::is_integral_v<T>, static_cast<double>(min), minIncluded,
                                  static_cast<double>(max)));
    }
}
