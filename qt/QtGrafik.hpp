// SPDX-License-Identifier: GPL-3.0-or-later
// The picture of a computation drawn with QPainter: on the screen, into a PNG and into an SVG.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <string>

#include "window/Grafik.hpp"

class QPainter;

namespace zentrix {

// Where the picture goes in a rectangle: a title line, the plan and the section side by side at
// one metric scale, and below them the legend on as many lines as its pieces need.
struct TGrafikAnordnung {
    QRectF Feld[2];        // the drawing areas of the plan and the section
    double Massstab = 1;   // pixels per metre, in both
    TEben Mitte[2];        // the view coordinates (metres) at the middle of each area
    // The legend's pieces: the metric scale, the residuals' scale and the note on a thinned scan,
    // each with its text (empty: the piece is not drawn) and its place.
    double Laenge = 1;        // the metric scale bar (metres)
    double Verbesserung = 0;  // the residual whose magnified line is the residuals' bar (metres)
    double Balken[2] = {0, 0};  // the lengths of both bars (pixels)
    QString Text[3];
    TLegendenOrt Ort[3];
    double ErsteZeile = 0;    // the middle of the legend's first line (pixels)
    double Zeilenhoehe = 18;  // and the step to each further line (pixels)

    // The pixel of a view's coordinates.
    QPointF Pixel(TAnsicht ansicht, TEben e) const {
        const int i = ansicht == TAnsicht::Grundriss ? 0 : 1;
        return Feld[i].center() + QPointF((e.u - Mitte[i].u) * Massstab, -(e.v - Mitte[i].v) * Massstab);
    }
    // The middle (pixels) of the legend's line z.
    double LegendenY(int z) const { return ErsteZeile + z * Zeilenhoehe; }
};

// The layout with the legend's texts measured in schrift (the painter's font on its device).
TGrafikAnordnung Anordnung(const TGrafik& g, const QRectF& ganz, const QFontMetricsF& schrift = QFontMetricsF(QFont()));
void ZeichneGrafik(QPainter& maler, const TGrafik& g, const QRectF& ganz);

// The size (pixels) in which the picture is saved.
constexpr int GrafikBreite = 1000;
constexpr int GrafikHoehe = 560;

// Saves the picture as PNG or SVG, chosen by the file name's ending (either case). Returns an empty
// text, or why it could not be saved (German).
std::string SpeichereGrafik(const TGrafik& g, const std::string& datei);

}  // namespace zentrix
