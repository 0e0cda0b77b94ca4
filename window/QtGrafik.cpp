#include "window/QtGrafik.hpp"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>
#include <vector>

#include "textio/NumText.hpp"

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
    m.drawText(feld.adjusted(6, 4, -6, 0), Qt::AlignLeft | Qt::AlignTop, QString::fromUtf8(AnsichtTitel(g, ansicht)));
    m.save();
    m.setClipRect(feld);
    if (g.Erfolg) {
        // The sphere's outline: its great circle in the view.
        const QPointF c = a.Pixel(ansicht, Projektion(g, ansicht, g.Zentrum));
        m.setPen(QPen(Kugelfarbe, 1.5));
        m.drawEllipse(c, g.R * a.Massstab, g.R * a.Massstab);
    }
    // Marks first, then the names where no mark or other name is.
    std::vector<TFeld> belegt;
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

// The metric scale and, with a centre, the residuals' scale, along the bottom.
void ZeichneMassstaebe(QPainter& m, const TGrafik& g, const TGrafikAnordnung& a, const QRectF& ganz) {
    const double y = ganz.bottom() - 18;
    const double laenge = Massstabslaenge(a.Feld[0].width() / a.Massstab);
    const double px = laenge * a.Massstab;
    m.setPen(QPen(Qt::black, 2));
    m.drawLine(QPointF(ganz.left() + 12, y), QPointF(ganz.left() + 12 + px, y));
    m.drawLine(QPointF(ganz.left() + 12, y - 4), QPointF(ganz.left() + 12, y + 4));
    m.drawLine(QPointF(ganz.left() + 12 + px, y - 4), QPointF(ganz.left() + 12 + px, y + 4));
    m.drawText(QPointF(ganz.left() + 18 + px, y + 5), Laenge(laenge));
    if (!g.Erfolg) return;
    const double x0 = ganz.center().x();
    // A round residual (metres) whose magnified line is about as long as the metric bar.
    const double v = Massstabslaenge(5 * laenge / g.Faktor);
    const double vpx = v * g.Faktor * a.Massstab;
    m.setPen(QPen(Verbesserungsfarbe, 2));
    m.drawLine(QPointF(x0, y), QPointF(x0 + vpx, y));
    m.setPen(Qt::black);
    m.drawText(QPointF(x0 + vpx + 6, y + 5), QStringLiteral("%1 Verbesserung  (Verbesserungen %2-fach)")
                                                 .arg(Laenge(v), Q(RealToText(g.Faktor))));
}

}  // namespace

TGrafikAnordnung Anordnung(const TGrafik& g, const QRectF& ganz) {
    TGrafikAnordnung a;
    const double oben = ganz.top() + 28, unten = ganz.bottom() - 40, luecke = 12;
    const double breite = (ganz.width() - 3 * luecke) / 2;
    a.Feld[0] = QRectF(ganz.left() + luecke, oben, breite, unten - oben);
    a.Feld[1] = QRectF(ganz.left() + 2 * luecke + breite, oben, breite, unten - oben);
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
    return a;
}

void ZeichneGrafik(QPainter& m, const TGrafik& g, const QRectF& ganz) {
    m.save();
    m.setRenderHint(QPainter::Antialiasing);
    m.fillRect(ganz, Qt::white);
    const TGrafikAnordnung a = Anordnung(g, ganz);
    m.setPen(g.Gerechnet && !g.Erfolg ? Ausreisserfarbe : QColor(Qt::black));
    QFont fett = m.font();
    fett.setBold(true);
    m.setFont(fett);
    m.drawText(ganz.adjusted(12, 6, -12, 0), Qt::AlignLeft | Qt::AlignTop, Titel(g));
    fett.setBold(false);
    m.setFont(fett);
    if (g.Punkte.size() < g.Gesamt)
        m.drawText(ganz.adjusted(12, 0, -12, -10), Qt::AlignRight | Qt::AlignBottom,
                   QStringLiteral("%1 von %2 Punkten gezeigt").arg(g.Punkte.size()).arg(g.Gesamt));
    ZeichneFeld(m, g, a, TAnsicht::Grundriss);
    ZeichneFeld(m, g, a, TAnsicht::Schnitt);
    if (g.Gerechnet && !g.Punkte.empty()) ZeichneMassstaebe(m, g, a, ganz);
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
    // Written whole beside the target and then put in place: a failure leaves no half picture.
    QSaveFile ziel(Q(datei));
    const std::string fehler = "Datei " + datei + " kann nicht geschrieben werden.";
    if (!ziel.open(QIODevice::WriteOnly)) return fehler + " " + ziel.errorString().toStdString();
    if (QFileInfo(Q(datei)).suffix().toLower() == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&ziel);
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
        if (!bild.save(&ziel, "PNG")) return fehler;
    }
    if (!ziel.commit()) return fehler + " " + ziel.errorString().toStdString();
    return "";
}

}  // namespace zentrix
