// The picture of a computation drawn with QPainter: on the screen, into a PNG and into an SVG.
#pragma once

#include <QPointF>
#include <QRectF>
#include <string>

#include "window/Grafik.hpp"

class QPainter;

namespace zentrix {

// Where the picture goes in a rectangle: a title line, the plan and the section side by side at
// one metric scale, the scale bars below.
struct TGrafikAnordnung {
    QRectF Feld[2];        // the drawing areas of the plan and the section
    double Massstab = 1;   // pixels per metre, in both
    TEben Mitte[2];        // the view coordinates (metres) at the middle of each area

    // The pixel of a view's coordinates.
    QPointF Pixel(TAnsicht ansicht, TEben e) const {
        const int i = ansicht == TAnsicht::Grundriss ? 0 : 1;
        return Feld[i].center() + QPointF((e.u - Mitte[i].u) * Massstab, -(e.v - Mitte[i].v) * Massstab);
    }
};

TGrafikAnordnung Anordnung(const TGrafik& g, const QRectF& ganz);
void ZeichneGrafik(QPainter& maler, const TGrafik& g, const QRectF& ganz);

// The size (pixels) in which the picture is saved.
constexpr int GrafikBreite = 1000;
constexpr int GrafikHoehe = 560;

// Saves the picture as PNG or SVG, chosen by the file name's ending (either case). Returns an empty
// text, or why it could not be saved (German).
std::string SpeichereGrafik(const TGrafik& g, const std::string& datei);

}  // namespace zentrix
