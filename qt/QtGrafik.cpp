// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/QtGrafik.hpp"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>
#include <vector>

#include "textio/NumText.hpp"
#include "textio/TextFile.hpp"

namespace zentrix {

namespace {

const QColor Punktfarbe(21, 101, 192);
const QColor Ausreisserfarbe(211, 47, 47);
const QColor Kugelfarbe(96, 125, 139);
const QColor Verbesserungsfarbe(46, 125, 50);
const QColor Zentrumfarbe(183, 28, 28);

// Names are written up to this many points.
constexpr int HoechstensNamen = 40;

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A point's name beside its mark, where no other name is written.
void SchreibeName(QPainter& m, QPointF q, const QString& name, std::vector<TFeld>& belegt) {
    const QFontMetricsF fm(m.font());
    if (const auto f = NamenFeld(q.x(), q.y(), fm.horizontalAdvance(name), fm.ascent(), belegt))
        m.drawText(QPointF(f->x, f->y + f->h), name);
}

// The view coordinates' bounding box of the points and, with a centre, the sphere.
struct TRahmen {
    double u0 = std::numeric_limits<double>::infinity(), u1 = -u0, v0 = u0, v1 = -u0;
    void Nimm(TEben e, double rand = 0) {
        u0 = std::min(u0, e.u - rand);
        u1 = std::max(u1, e.u + rand);
        v0 = std::min(v0, e.v - rand);
        v1 = std::max(v1, e.v + rand);
    }
    bool Leer() const { return !(u1 >= u0); }
};

TRahmen Rahmen(const TGrafik& g, TAnsicht a) {
    TRahmen r;
    for (const TGrafikPunkt& p : g.Punkte)
        if (std::isfinite(p.P.X) && std::isfinite(p.P.Y) && std::isfinite(p.P.Z)) r.Nimm(Projektion(g, a, p.P));
    if (g.Erfolg) r.Nimm(Projektion(g, a, g.Zentrum), g.R);
    return r;
}

// The unit vector from the centre through the point, in the view (its length shrinks where the
// direction leaves the view's plane).
TEben Radial(const TGrafik& g, TAnsicht a, const TXYZ& p) {
    const double dx = p.X - g.Zentrum.X, dy = p.Y - g.Zentrum.Y, dz = p.Z - g.Zentrum.Z;
    const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!(d > 0)) return {};
    const TEben o = Projektion(g, a, g.Zentrum);
    const TEben q = Projektion(g, a, {g.Zentrum.X + dx / d, g.Zentrum.Y + dy / d, g.Zentrum.Z + dz / d});
    return {q.u - o.u, q.v - o.v};
}

QString Laenge(double metres) {
    if (metres < 0.01) return Q(RealToText(metres * 1000)) + QStringLiteral(" mm");
    if (metres < 1) return Q(RealToText(metres * 100)) + QStringLiteral(" cm");
    return Q(RealToText(metres)) + QStringLiteral(" m");
}

QString Titel(const TGrafik& g) {
    if (!g.Gerechnet) return QStringLiteral("Noch keine Berechnung");
    if (!g.Erfolg) return QStringLiteral("Berechnung fehlgeschlagen: ") + Q(g.Fehler);
    return Q(FormatText("Kugelmittelpunkt%s%s:  X %.4f  Y %.4f  Z %.4f  R %.4f m,  %d Punkte",
                        {g.Name.empty() ? "" : " ", g.Name, g.Zentrum.X, g.Zentrum.Y, g.Zentrum.Z, g.R,
                         static_cast<long long>(g.Gesamt)}));
}

void ZeichneFeld(QPainter& m, const TGrafik& g, const TGrafikAnordnung& a, TAnsicht ansicht) {
    const QRectF feld = a.Feld[ansicht == TAnsicht::Grundriss ? 0 : 1];
    m.setPen(QPen(QColor(176, 190, 197), 1));
    m.setBrush(Qt::NoBrush);
    m.drawRect(feld);
    m.setPen(Qt::black);
    const QFontMetricsF fm(m.font());
    const QString titel = fm.elidedText(QString::fromUtf8(AnsichtTitel(g, ansicht)), Qt::ElideRight, feld.width() - 12);
    m.drawText(feld.adjusted(6, 4, -6, 0), Qt::AlignLeft | Qt::AlignTop, titel);
    m.save();
    m.setClipRect(feld);
    if (g.Erfolg) {
        // The sphere's outline: its great circle in the view.
        const QPointF c = a.Pixel(ansicht, Projektion(g, ansicht, g.Zentrum));
        m.setPen(QPen(Kugelfarbe, 1.5));
        m.drawEllipse(c, g.R * a.Massstab, g.R * a.Massstab);
    }
    // Marks first, then the names where no mark, other name or the view's title is.
    std::vector<TFeld> belegt = {{feld.left() + 6, feld.top() + 4, fm.horizontalAdvance(titel), fm.height()}};
    std::vector<std::pair<QPointF, const TGrafikPunkt*>> marken;
    for (const TGrafikPunkt& p : g.Punkte) {
        const QPointF q = a.Pixel(ansicht, Projektion(g, ansicht, p.P));
        if (!std::isfinite(q.x()) || !std::isfinite(q.y())) continue;
        const QColor farbe = p.Ausreisser ? Ausreisserfarbe : Punktfarbe;
        if (g.Erfolg && std::isfinite(p.vR)) {
            // The residual along the radius, magnified: outwards for a point outside the sphere.
            const TEben r = Radial(g, ansicht, p.P);
            const double l = p.vR * g.Faktor * a.Massstab;
            m.setPen(QPen(p.Ausreisser ? Ausreisserfarbe : Verbesserungsfarbe, 2));
            m.drawLine(q, q + QPointF(r.u * l, -r.v * l));
        }
        m.setPen(QPen(Qt::black, 0.8));
        m.setBrush(farbe);
        m.drawEllipse(q, 4, 4);
        marken.emplace_back(q, &p);
        belegt.push_back({q.x() - 4, q.y() - 4, 8, 8});
    }
    if (g.Erfolg) {
        // The centre: a cross in a ring.
        const QPointF c = a.Pixel(ansicht, Projektion(g, ansicht, g.Zentrum));
        m.setPen(QPen(Zentrumfarbe, 2));
        m.setBrush(Qt::NoBrush);
        m.drawEllipse(c, 6, 6);
        m.drawLine(c - QPointF(10, 0), c + QPointF(10, 0));
        m.drawLine(c - QPointF(0, 10), c + QPointF(0, 10));
        belegt.push_back({c.x() - 10, c.y() - 10, 20, 20});
    }
    if (static_cast<int>(marken.size()) <= HoechstensNamen) {
        for (const auto& [q, p] : marken) {
            m.setPen(p->Ausreisser ? Ausreisserfarbe : Punktfarbe);
            SchreibeName(m, q, Q(p->Name), belegt);
        }
    }
    m.restore();
}

// The legend along the bottom: the metric scale, the residuals' scale and the note on a thinned
// scan, each where the layout put it.
void ZeichneLegende(QPainter& m, const TGrafikAnordnung& a) {
    if (!a.Text[0].isEmpty()) {
        const double x = a.Ort[0].x, y = a.LegendenY(a.Ort[0].Zeile), px = a.Balken[0];
        m.setPen(QPen(Qt::black, 2));
        m.drawLine(QPointF(x, y), QPointF(x + px, y));
        m.drawLine(QPointF(x, y - 4), QPointF(x, y + 4));
        m.drawLine(QPointF(x + px, y - 4), QPointF(x + px, y + 4));
        m.drawText(QPointF(x + px + 6, y + 5), a.Text[0]);
    }
    if (!a.Text[1].isEmpty()) {
        const double x = a.Ort[1].x, y = a.LegendenY(a.Ort[1].Zeile);
        const double vpx = a.Balken[1];
        m.setPen(QPen(Verbesserungsfarbe, 2));
        m.drawLine(QPointF(x, y), QPointF(x + vpx, y));
        m.setPen(Qt::black);
        m.drawText(QPointF(x + vpx + 6, y + 5), a.Text[1]);
    }
    m.setPen(Qt::black);
    if (!a.Text[2].isEmpty()) m.drawText(QPointF(a.Ort[2].x, a.LegendenY(a.Ort[2].Zeile) + 5), a.Text[2]);
}

// The drawing areas above a legend of zeilen lines, and the one scale at which both views fit.
void Felder(const TGrafik& g, const QRectF& ganz, int zeilen, TGrafikAnordnung& a) {
    const double oben = ganz.top() + 28, unten = ganz.bottom() - 22 - zeilen * a.Zeilenhoehe, luecke = 12;
    const double breite = (ganz.width() - 3 * luecke) / 2;
    a.Feld[0] = QRectF(ganz.left() + luecke, oben, breite, unten - oben);
    a.Feld[1] = QRectF(ganz.left() + 2 * luecke + breite, oben, breite, unten - oben);
    a.ErsteZeile = unten + 22;
    // One scale for both views: the larger extent fits, with a margin for the labels.
    double massstab = std::numeric_limits<double>::infinity();
    for (int i = 0; i < 2; ++i) {
        const TRahmen r = Rahmen(g, i == 0 ? TAnsicht::Grundriss : TAnsicht::Schnitt);
        if (r.Leer()) continue;
        a.Mitte[i] = {(r.u0 + r.u1) / 2, (r.v0 + r.v1) / 2};
        const double innen = 0.8;
        if (r.u1 > r.u0) massstab = std::min(massstab, innen * a.Feld[i].width() / (r.u1 - r.u0));
        if (r.v1 > r.v0) massstab = std::min(massstab, innen * (a.Feld[i].height() - 20) / (r.v1 - r.v0));
    }
    a.Massstab = std::isfinite(massstab) && massstab > 0 ? massstab : 100;
}

// The legend's pieces at the scale found, laid out between the picture's margins; the number of
// lines they take.
int Legende(const TGrafik& g, const QRectF& ganz, const QFontMetricsF& fm, TGrafikAnordnung& a) {
    for (QString& t : a.Text) t.clear();
    if (!g.Gerechnet || g.Punkte.empty()) return 1;
    TLegendenTeil teil[3];
    a.Laenge = Massstabslaenge(a.Feld[0].width() / a.Massstab);
    a.Text[0] = Laenge(a.Laenge);
    a.Balken[0] = a.Laenge * a.Massstab;
    teil[0] = {a.Balken[0] + 6 + fm.horizontalAdvance(a.Text[0]), TLegendenWunsch::Folgend};
    if (g.Erfolg) {
        // A round residual (metres) whose magnified line is about as long as the metric bar.
        a.Verbesserung = Massstabslaenge(5 * a.Laenge / g.Faktor);
        a.Text[1] = QStringLiteral("%1 Verbesserung  (Verbesserungen %2-fach)").arg(Laenge(a.Verbesserung), Q(RealToText(g.Faktor)));
        a.Balken[1] = a.Verbesserung * g.Faktor * a.Massstab;
        teil[1] = {a.Balken[1] + 6 + fm.horizontalAdvance(a.Text[1]), TLegendenWunsch::AbMitte};
    }
    if (g.Punkte.size() < g.Gesamt) {
        a.Text[2] = QStringLiteral("%1 von %2 Punkten gezeigt").arg(g.Punkte.size()).arg(g.Gesamt);
        teil[2] = {fm.horizontalAdvance(a.Text[2]), TLegendenWunsch::Rechts};
    }
    std::vector<TLegendenTeil> teile;
    for (int i = 0; i < 3; ++i)
        if (!a.Text[i].isEmpty()) teile.push_back(teil[i]);
    const std::vector<TLegendenOrt> orte = LegeLegende(teile, ganz.left() + 12, ganz.right() - 12, 24);
    int zeilen = 1;
    for (int i = 0, k = 0; i < 3; ++i) {
        if (a.Text[i].isEmpty()) continue;
        a.Ort[i] = orte[static_cast<std::size_t>(k++)];
        zeilen = std::max(zeilen, a.Ort[i].Zeile + 1);
    }
    return zeilen;
}

}  // namespace

TGrafikAnordnung Anordnung(const TGrafik& g, const QRectF& ganz, const QFontMetricsF& schrift) {
    TGrafikAnordnung a;
    a.Zeilenhoehe = std::max(18.0, schrift.height() + 4);
    // The legend's lines take room from the views, which changes the scale and so the legend:
    // laid out again with as many lines as it took, until it fits (at most three lines).
    for (int zeilen = 1;;) {
        Felder(g, ganz, zeilen, a);
        const int braucht = Legende(g, ganz, schrift, a);
        if (braucht <= zeilen) return a;
        zeilen = braucht;
    }
}

void ZeichneGrafik(QPainter& m, const TGrafik& g, const QRectF& ganz) {
    m.save();
    m.setRenderHint(QPainter::Antialiasing);
    m.fillRect(ganz, Qt::white);
    const TGrafikAnordnung a = Anordnung(g, ganz, QFontMetricsF(m.font(), m.device()));
    m.setPen(g.Gerechnet && !g.Erfolg ? Ausreisserfarbe : QColor(Qt::black));
    QFont fett = m.font();
    fett.setBold(true);
    m.setFont(fett);
    // One line: a title longer than the picture is wide ends in "…".
    const QString titel = QFontMetricsF(fett, m.device()).elidedText(Titel(g), Qt::ElideRight, ganz.width() - 24);
    m.drawText(ganz.adjusted(12, 6, -12, 0), Qt::AlignLeft | Qt::AlignTop, titel);
    fett.setBold(false);
    m.setFont(fett);
    ZeichneFeld(m, g, a, TAnsicht::Grundriss);
    ZeichneFeld(m, g, a, TAnsicht::Schnitt);
    ZeichneLegende(m, a);
    m.restore();
}

std::string SpeichereGrafik(const TGrafik& g, const std::string& datei) {
    if (!GrafikEndung(datei)) return "Die Grafik wird als .png oder .svg gespeichert.";
    // Text needs the fonts of an application; the batch tool has none until here.
    if (QGuiApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        // A batch run (cron, a script) often has no runtime folder; Qt's English remark about that
        // would only clutter the tool's German error output. Every other message goes through.
        static const QtMessageHandler weiter = qInstallMessageHandler(
            [](QtMsgType art, const QMessageLogContext& ort, const QString& text) {
                if (text.startsWith(QLatin1String("QStandardPaths:"))) return;
                if (weiter != nullptr) weiter(art, ort, text);
                else std::fprintf(stderr, "%s\n", qPrintable(text));
            });
        static int argc = 1;
        static char name[] = "zentrix-cli";
        static char* argv[] = {name, nullptr};
        static QGuiApplication anwendung(argc, argv);
    }
    const QRectF ganz(0, 0, GrafikBreite, GrafikHoehe);
    // Drawn into memory, then written whole and durable beside the target and put in place: a
    // failure leaves no half picture and is told in German.
    QByteArray inhalt;
    QBuffer puffer(&inhalt);
    puffer.open(QIODevice::WriteOnly);
    const std::string fehler = "Datei " + datei + " kann nicht geschrieben werden.";
    if (QFileInfo(Q(datei)).suffix().toLower() == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&puffer);
        svg.setSize(QSize(GrafikBreite, GrafikHoehe));
        svg.setViewBox(ganz);
        svg.setTitle(QStringLiteral("Zentrix: Kugelmittelpunkt"));
        svg.setDescription(Titel(g));
        QPainter m;
        if (!m.begin(&svg)) return fehler;
        ZeichneGrafik(m, g, ganz);
        if (!m.end()) return fehler;
    } else {
        QImage bild(GrafikBreite, GrafikHoehe, QImage::Format_ARGB32);
        bild.fill(Qt::white);
        {
            QPainter m(&bild);
            ZeichneGrafik(m, g, ganz);
        }
        if (!bild.save(&puffer, "PNG")) return fehler;
    }
    std::string grund;
    if (SaveText(datei, std::string_view(inhalt.constData(), static_cast<std::size_t>(inhalt.size())), &grund) != 0)
        return fehler + " " + grund + ".";
    return "";
}

}  // namespace zentrix
