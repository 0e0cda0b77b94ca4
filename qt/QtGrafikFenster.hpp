// SPDX-License-Identifier: GPL-3.0-or-later
// The "Grafik" window: the picture of the last computation beside the main window, and saving it.
#pragma once

#include <QWidget>

#include "window/Dialoge.hpp"
#include "window/Grafik.hpp"

namespace zentrix {

class TQtGrafikFenster : public QWidget {
    Q_OBJECT

public:
    TQtGrafikFenster(IDialoge& dialoge, QWidget* parent = nullptr);
    // Shows this picture (the main window hands on every new computation).
    void Zeige(TGrafik grafik);
    const TGrafik& Grafik() const { return grafik_; }
    // Asks for a file name and saves the picture as PNG or SVG.
    void Speichern();

private:
    IDialoge& dialoge_;
    TGrafik grafik_;
    QWidget* bild_ = nullptr;
};

}  // namespace zentrix
