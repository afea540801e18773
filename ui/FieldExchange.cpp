// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FieldExchange.h"

#include "LineFormat.h"

#include <QAbstractButton>
#include <QComboBox>
#include <array>
#include <charconv>
#include <string_view>

namespace {
// Room for any double in general notation: sign, 17 digits, point, exponent.
constexpr std::size_t kNumberTextCapacity = 32;
// Doubles are written with this many significant digits when they bound a range.
constexpr int kBoundDigits = std::numeric_limits<double>::digits10;

// Skips a run of digits; returns how many there were.
std::size_t SkipDigits(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    while (at < text.size() && lumara::format::IsDigit(text[at])) {
        ++at;
    }
    return at - start;
}

// The trimmed text with a leading plus sign removed, which the conversions
// below do not take; an empty view when the text is not plain ASCII.
std::string_view Prepare(const QByteArray& latin, bool& ok) {
    std::string_view text(latin.constData(), static_cast<std::size_t>(latin.size()));
    ok = !text.empty() && latin.count('?') == 0;
    if (ok && text.front() == '+') {
        text.remove_prefix(1);
        ok = !text.empty() && text.front() != '-';
    }
    return text;
}
} // namespace

QLineEdit* EditFieldOf(QWidget* control) {
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        return combo->lineEdit();
    }
    return qobject_cast<QLineEdit*>(control);
}

QLineEdit* CDataExchange::PrepareEditCtrl(int id) {
    if (m_failed) {
        return nullptr;
    }
    m_idLastControl = id;
    QLineEdit* edit = EditFieldOf(m_host.GetDlgItem(id));
    Q_ASSERT(edit != nullptr);
    return edit;
}

void CDataExchange::Fail(const QString& message) {
    m_host.RefuseField(m_idLastControl, message);
    m_failed = true;
}

std::optional<long long> ParseInteger(const QString& text) {
    const QByteArray latin = text.trimmed().toLatin1();
    bool ok = false;
    const std::string_view digits = Prepare(latin, ok);
    long long value = 0;
    if (!ok) {
        return std::nullopt;
    }
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> ParseNumber(const QString& text) {
    const QByteArray latin = text.trimmed().toLatin1();
    bool ok = false;
    const std::string_view number = Prepare(latin, ok);
    if (!ok) {
        return std::nullopt;
    }
    // Only sign, digits, point and exponent: no "inf", "nan" or hex form.
    std::size_t at = number.front() == '-' ? 1 : 0;
    std::size_t mantissaDigits = SkipDigits(number, at);
    if (at < number.size() && number[at] == '.') {
        ++at;
        mantissaDigits += SkipDigits(number, at);
    }
    if (mantissaDigits == 0) {
        return std::nullopt;
    }
    if (at < number.size() && (number[at] == 'e' || number[at] == 'E')) {
        ++at;
        if (at < number.size() && (number[at] == '+' || number[at] == '-')) {
            ++at;
        }
        if (SkipDigits(number, at) == 0) {
            return std::nullopt;
        }
    }
    double value = 0.0;
    const char* last = number.data() + number.size();
    const auto [end, error] = std::from_chars(number.data(), last, value);
    if (at != number.size() || error != std::errc() || end != last) {
        return std::nullopt;
    }
    return value;
}

QString FormatNumber(double value, int significantDigits) {
    std::array<char, kNumberTextCapacity> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value,
                                      std::chars_format::general, significantDigits);
    return QString::fromLatin1(text.data(), result.ptr - text.data());
}

QString NotAnIntegerMessage() {
    return QStringLiteral("Please enter an integer.");
}

QString NotANumberMessage() {
    return QStringLiteral("Please enter a number.");
}

QString OutOfRangeMessage(bool integral, double min, bool minIncluded, double max) {
    const QString low = FormatNumber(min, kBoundDigits);
    const QString high = FormatNumber(max, kBoundDigits);
    if (!minIncluded) {
        return QStringLiteral("Enter a number above %1 and at most %2.").arg(low, high);
    }
    return (integral ? QStringLiteral("Enter an integer between %1 and %2.")
                     : QStringLiteral("Enter a number between %1 and %2."))
        .arg(low, high);
}

void DDX_Text(CDataExchange& dx, int id, QString& value) {
    QLineEdit* edit = dx.PrepareEditCtrl(id);
    if (edit == nullptr) {
        return;
    }
    if (dx.m_bSaveAndValidate) {
        value = edit->text();
    } else {
        edit->setText(value);
    }
}

void DDX_Check(CDataExchange& dx, int id, bool& value) {
    if (dx.Failed()) {
        return;
    }
    auto* box = qobject_cast<QAbstractButton*>(dx.Host().GetDlgItem(id));
    if (dx.m_bSaveAndValidate) {
        value = box->isChecked();
    } else {
        box->setChecked(value);
    }
}
