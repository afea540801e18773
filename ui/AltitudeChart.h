// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A star's altitude through the night, drawn small: from the night's start
// (local solar noon) to its end, the dark window shaded, the minimum
// altitude as a dashed line, the hours on the site's clock below, and the
// star's minima and maxima of the night marked on its curve.
#pragma once

#include "Tonight.h"

#include <QPainterPath>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class AltitudeChart : public QWidget {
    Q_OBJECT
public:
    // One point of the curve: an instant of the night and the star's
    // altitude then.
    struct Sample {
        double seconds;
        double altitudeDeg;
    };
    // A minimum or maximum on the curve: its instant, the star's altitude
    // then, its name ("min", "max", ...) and, for an eclipse whose duration
    // is known, the instants it starts and ends (else both at the event).
    struct EventMark {
        double seconds;
        double altitudeDeg;
        QString name;
        double fromSeconds;
        double toSeconds;
    };

    using QWidget::QWidget;

    // The night drawn, without a star; null draws nothing but the frame.
    void ShowNight(std::shared_ptr<const lumara::TonightContext> night);
    // The star's curve over the night shown, with those of its events that
    // fall on that night (night 0 of the series); nothing draws no curve.
    void ShowStar(const std::optional<lumara::plan::StarPlace>& place, const QString& name,
                  std::span<const lumara::plan::StarEvent> events);

    const std::vector<Sample>& Curve() const { return m_curve; }
    const std::vector<EventMark>& Marks() const { return m_marks; }
    const QString& StarName() const { return m_name; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Where an instant and an altitude stand in the plot area.
    double XOf(const QRectF& plot, double seconds) const;
    static double YOf(const QRectF& plot, double altitudeDeg);
    void DrawDarkness(QPainter& painter, const QRectF& plot) const;
    void DrawHours(QPainter& painter, const QRectF& plot) const;
    void DrawAltitudes(QPainter& painter, const QRectF& plot) const;
    // The curve from one instant to another, as drawn.
    QPainterPath CurvePath(const QRectF& plot, double fromSeconds, double toSeconds) const;
    void DrawEclipse(QPainter& painter, const QRectF& plot, const EventMark& mark) const;
    void DrawMark(QPainter& painter, const QRectF& plot, const EventMark& mark) const;

    std::shared_ptr<const lumara::TonightContext> m_night;
    std::vector<Sample> m_curve;
    std::vector<EventMark> m_marks;
    QString m_name;
};
