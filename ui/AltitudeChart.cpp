// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AltitudeChart.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace {
namespace plan = lumara::plan;

// One point every this many seconds: smooth at any width the chart takes.
constexpr double kSampleSeconds = 300.0;
// The altitudes the plot spans; a star below the horizon leaves the plot.
constexpr double kLowestAltitude = 0.0;
constexpr double kHighestAltitude = 90.0;
constexpr double kAltitudeGridStep = 30.0;
constexpr double kSecondsPerHour = 3600.0;
constexpr plan::PosixMinute kMinutesPerHour = 60;
// Hours between two labelled ticks.
constexpr int kHoursPerTick = 3;
// Room for the altitude labels at the left and the hours below, in
// average characters and lines of the widget's font.
constexpr int kLeftMarginChars = 4;
constexpr int kTopMarginLines = 1;
constexpr int kBottomMarginLines = 1;
constexpr int kRightMarginPixels = 8;
// Pixels between a label and the line or tick it names, and a tick's length.
constexpr int kLabelGap = 2;
constexpr int kTickPixels = 3;
constexpr int kCurveWidth = 2;
// An event's triangle, from its tip on the curve to its base, and the width
// of the band an eclipse draws under the curve while it lasts.
constexpr double kMarkPixels = 7.0;
constexpr double kEclipseBandPixels = 9.0;
constexpr int kEclipseAlpha = 90;
// The shade of the dark window: the window's text colour, mostly see-through.
constexpr int kDarknessAlpha = 60;
constexpr int kGridAlpha = 60;

AltitudeChart::EventMark MarkOf(const plan::PreparedNight& night, const plan::StarPlace& place,
                                const plan::StarEvent& event) {
    const double at = static_cast<double>(event.at) * plan::kSecondsPerMinute;
    // An eclipse's minimum lies in its middle.
    const double halfEclipse = event.durationMinutes * plan::kSecondsPerMinute / 2.0;
    return {at, plan::HorizontalAt(night, place, at).altitudeDeg,
            QString::fromStdString(lumara::EventName(event)), at - halfEclipse, at + halfEclipse};
}
} // namespace

void AltitudeChart::ShowNight(std::shared_ptr<const lumara::TonightContext> night) {
    m_night = std::move(night);
    m_curve.clear();
    m_marks.clear();
    m_name.clear();
    update();
}

void AltitudeChart::ShowStar(const std::optional<plan::StarPlace>& place, const QString& name,
                             std::span<const plan::StarEvent> events) {
    m_curve.clear();
    m_marks.clear();
    m_name.clear();
    if (m_night != nullptr && place) {
        const plan::PreparedNight& night = m_night->night;
        for (double at = night.startSeconds; at <= night.endSeconds; at += kSampleSeconds) {
            m_curve.push_back({at, plan::HorizontalAt(night, *place, at).altitudeDeg});
        }
        for (const plan::StarEvent& event : events) {
            if (event.night == 0) {
                m_marks.push_back(MarkOf(night, *place, event));
            }
        }
        m_name = name;
    }
    update();
}

double AltitudeChart::XOf(const QRectF& plot, double seconds) const {
    const plan::PreparedNight& night = m_night->night;
    return plot.left() +
           plot.width() * (seconds - night.startSeconds) / (night.endSeconds - night.startSeconds);
}

double AltitudeChart::YOf(const QRectF& plot, double altitudeDeg) {
    return plot.bottom() -
           plot.height() * (altitudeDeg - kLowestAltitude) / (kHighestAltitude - kLowestAltitude);
}

void AltitudeChart::DrawDarkness(QPainter& painter, const QRectF& plot) const {
    const plan::PreparedNight& night = m_night->night;
    if (night.darkness == plan::Darkness::None) {
        return;
    }
    QColor shade = palette().color(QPalette::WindowText);
    shade.setAlpha(kDarknessAlpha);
    const double from = XOf(plot, night.darkStartSeconds);
    const double to = XOf(plot, night.darkEndSeconds);
    painter.fillRect(QRectF(from, plot.top(), to - from, plot.height()), shade);
}

void AltitudeChart::DrawHours(QPainter& painter, const QRectF& plot) const {
    const plan::PreparedNight& night = m_night->night;
    // Ticks on the site's whole hours, every few hours.
    const plan::PosixMinute start = plan::RoundToMinute(night.startSeconds);
    const plan::WallClock first = plan::ToWallClock(night, start);
    plan::PosixMinute tick = start + (kMinutesPerHour - first.minute) % kMinutesPerHour;
    tick +=
        kMinutesPerHour *
        ((kHoursPerTick - (plan::ToWallClock(night, tick).hour % kHoursPerTick)) % kHoursPerTick);
    const QFontMetrics metrics = fontMetrics();
    for (; static_cast<double>(tick) * plan::kSecondsPerMinute <= night.endSeconds;
         tick += kHoursPerTick * kMinutesPerHour) {
        const double x = XOf(plot, static_cast<double>(tick) * plan::kSecondsPerMinute);
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + kTickPixels));
        const QString label = QString::fromStdString(lumara::ClockAt(*m_night, tick));
        const double width = metrics.horizontalAdvance(label);
        painter.drawText(QPointF(x - width / 2, plot.bottom() + kTickPixels + metrics.ascent()),
                         label);
    }
}

void AltitudeChart::DrawAltitudes(QPainter& painter, const QRectF& plot) const {
    const QFontMetrics metrics = fontMetrics();
    QColor grid = palette().color(QPalette::WindowText);
    grid.setAlpha(kGridAlpha);
    for (double altitude = kLowestAltitude; altitude <= kHighestAltitude;
         altitude += kAltitudeGridStep) {
        const double y = YOf(plot, altitude);
        painter.setPen(grid);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(palette().color(QPalette::WindowText));
        const QString label = QString::number(altitude, 'f', 0) + QChar(0x00B0);
        // Centred on its line.
        painter.drawText(QPointF(plot.left() - metrics.horizontalAdvance(label) - kLabelGap,
                                 y + (metrics.ascent() - metrics.descent()) / 2.0),
                         label);
    }
    // The minimum altitude, dashed.
    QPen limit(palette().color(QPalette::WindowText));
    limit.setStyle(Qt::DashLine);
    painter.setPen(limit);
    const double y = YOf(plot, m_night->night.request.minAltitudeDeg);
    painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
}

QPainterPath AltitudeChart::CurvePath(const QRectF& plot, double fromSeconds,
                                      double toSeconds) const {
    QPainterPath path;
    for (const Sample& sample : m_curve) {
        if (sample.seconds < fromSeconds || sample.seconds > toSeconds) {
            continue;
        }
        const QPointF point(XOf(plot, sample.seconds), YOf(plot, sample.altitudeDeg));
        if (path.elementCount() == 0) {
            path.moveTo(point);
        } else {
            path.lineTo(point);
        }
    }
    return path;
}

void AltitudeChart::DrawEclipse(QPainter& painter, const QRectF& plot,
                                const EventMark& mark) const {
    if (mark.toSeconds <= mark.fromSeconds) {
        return;
    }
    // A broad band under the curve for as long as the star is eclipsed.
    QColor band = palette().color(QPalette::Highlight);
    band.setAlpha(kEclipseAlpha);
    painter.strokePath(CurvePath(plot, mark.fromSeconds, mark.toSeconds),
                       QPen(band, kEclipseBandPixels, Qt::SolidLine, Qt::FlatCap));
}

void AltitudeChart::DrawMark(QPainter& painter, const QRectF& plot, const EventMark& mark) const {
    // A triangle whose tip touches the curve, the name beyond its base:
    // above the curve, or below it where the plot's top leaves no room.
    const QColor ink = palette().color(QPalette::WindowText);
    const double x = XOf(plot, mark.seconds);
    const double y = YOf(plot, mark.altitudeDeg);
    const QFontMetrics metrics = fontMetrics();
    const bool below = y - kMarkPixels - kLabelGap - metrics.height() < plot.top();
    const double base = below ? y + kMarkPixels : y - kMarkPixels;
    const QPolygonF triangle(
        {QPointF(x, y), QPointF(x - kMarkPixels / 2, base), QPointF(x + kMarkPixels / 2, base)});
    painter.setPen(ink);
    painter.setBrush(ink);
    painter.drawPolygon(triangle);
    const double width = metrics.horizontalAdvance(mark.name);
    const double left =
        std::clamp(x - width / 2, plot.left(), std::max(plot.left(), plot.right() - width));
    painter.drawText(QPointF(left, below ? base + kLabelGap + metrics.ascent()
                                         : base - kLabelGap - metrics.descent()),
                     mark.name);
}

void AltitudeChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (m_night == nullptr) {
        return;
    }
    const QFontMetrics metrics = fontMetrics();
    const QRectF plot(metrics.averageCharWidth() * kLeftMarginChars,
                      metrics.height() * kTopMarginLines,
                      width() - metrics.averageCharWidth() * kLeftMarginChars - kRightMarginPixels,
                      height() - metrics.height() * (kTopMarginLines + kBottomMarginLines) -
                          kTickPixels - kLabelGap);
    if (plot.width() <= 0 || plot.height() <= 0) {
        return;
    }
    DrawDarkness(painter, plot);
    painter.setPen(palette().color(QPalette::WindowText));
    DrawHours(painter, plot);
    DrawAltitudes(painter, plot);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QPointF(plot.left(), metrics.ascent()),
                     m_name.isEmpty() ? tr("Altitude: select a star") : m_name);
    if (m_curve.empty()) {
        return;
    }
    painter.setClipRect(plot);
    for (const EventMark& mark : m_marks) {
        DrawEclipse(painter, plot, mark);
    }
    painter.setPen(QPen(palette().color(QPalette::Highlight), kCurveWidth));
    painter.drawPath(CurvePath(plot, m_curve.front().seconds, m_curve.back().seconds));
    for (const EventMark& mark : m_marks) {
        DrawMark(painter, plot, mark);
    }
}
