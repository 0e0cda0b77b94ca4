// SPDX-License-Identifier: GPL-3.0-or-later
// The real window: shows the window model TForm1 and passes the user's events to its handlers.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <string>

#include "window/UnitBogenschnitt3D.hpp"

class QAction;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class QTabWidget;
class QThread;
class QToolBar;

namespace zentrix {

class TBerichtAnsicht;
class TBerichtModell;
class TGitterModell;
class TQtGrafikFenster;
class TQtKugelFenster;
class TQtHandbuch;
class TQtStatusText;

class TQtForm1 : public QMainWindow {
    Q_OBJECT

public:
    // dialoge answers the modal things (message box, open-file dialog, error box).
    TQtForm1(IDialoge& dialoge, const std::string& testDirectory, QWidget* parent = nullptr);

    TForm1& Model() { return model_; }
    // The tool bar's "Iterieren": the converged solver for every command (kept in the user's
    // settings).
    QAction* Iterieren() const { return iterieren_; }
    // The tool bar's "Grafik": opens the picture of the last computation (it then follows every
    // new one). The window, once opened.
    QAction* GrafikAktion() const { return grafikAktion_; }
    TQtGrafikFenster* Grafik() const { return grafik_; }
    // The tool bar's "Kugeln": the sphere overview of the last polar evaluation or scan (whichever
    // ran last); the window, once opened.
    QAction* KugelnAktion() const { return kugelnAktion_; }
    TQtKugelFenster* Kugeln() const { return kugeln_; }
    // The tool bar's "Hilfe" (and F1 anywhere in the program): opens the manual beside the main
    // window. The window, once opened.
    QAction* HilfeAktion() const { return hilfeAktion_; }
    TQtHandbuch* Handbuch() const { return handbuch_; }
    // Shows the model's values in the widgets.
    void Refresh();
    // A command is running on the worker thread (the window stays responsive meanwhile).
    bool Beschaeftigt() const { return arbeiter_ != nullptr; }
    ~TQtForm1() override;

signals:
    // A command has ended and its results are shown.
    void Fertig();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // The window never stays smaller than its designed size, also where the window manager
    // ignores the minimum size.
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A coordinate or observation file dropped on the window: its name goes into the file field.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The widgets, part by part.
    void BaueWerkzeugleiste();
    void BaueHilfe();
    void BaueStatusleiste();
    void BaueSeite1(QWidget* seite);
    void BaueGitter(QWidget* seite);
    void BaueZeilenmenue();
    void BaueDatenformat(QWidget* seite);
    void BaueBericht(QWidget* seite);
    // A command button that runs handler, also by its key (named in its tooltip); 75 x 25 pixels
    // as designed, wider where its text needs it. OrdneSeite1 places it.
    QPushButton* Knopf(QWidget* seite, const char* name, const char* text, Qt::Key taste, void (TForm1::*handler)());
    // Places the first page's widgets: as designed at the designed size; in a larger window the
    // right-hand panel at the right edge, the grid wider and taller, the buttons below it.
    void OrdneSeite1();
    void Run(void (TForm1::*handler)());
    void Beginne();   // before a command: views frozen, input closed, busy cursor, progress shown
    void Beende();    // after it: everything shown anew and open again
    void ZeigeFortschritt(const QString& schritt, int prozent);
    void RefreshMemo();
    void KopiereBericht();
    void KopiereZellen();
    void FuegeZellenEin();
    void LoescheZellen();
    void ZeigeGrafik();
    void ZeigeHandbuch();
    // "Scan auswerten" (F9): the cloud chosen here, then evaluated on the worker; "Abbrechen"
    // (or Escape) while it runs stops it.
    void ScanStarten();
    void ScanAbbrechen();
    void SageAuswertung();  // after a polar evaluation: spheres evaluated and failed, the overview offered
    void ZeigeKugeln();
    void ZeigeKugelbericht();  // after KugelZeigen: the sphere's report lines chosen in the report
    void ZeigeFehlerort();     // after an error: the grid cell or the field it names, chosen

    IDialoge& dialoge_;
    TForm1 model_;
    void (TForm1::*befehl_)() = nullptr;  // the command running or last run
    bool gelungen_ = false;               // it ended without an error (written by the worker)
    QPointer<QWidget> fokus_;             // where the focus was when it began
    bool activated_ = false;
    bool refreshing_ = false;
    std::size_t memoShown_ = 0;
    int memoCleared_ = 0;
    QThread* arbeiter_ = nullptr;
    bool schliessen_ = false;  // the user closed the window while a command ran
    // The worker's last progress report (read and written on the worker thread only).
    std::string letzterSchritt_;
    int letzteProzent_ = -2;

    QTabWidget* pageControl_ = nullptr;
    QLineEdit* edit1_ = nullptr;
    QLineEdit* edit2_ = nullptr;
    QLabel* label1_ = nullptr;
    QGroupBox* radioGroup_ = nullptr;
    QPushButton* button1_ = nullptr;
    QPushButton* button2_ = nullptr;
    QPushButton* button3_ = nullptr;
    QPushButton* button4_ = nullptr;
    QPushButton* button5_ = nullptr;  // "Scan auswerten"
    QLabel* standpunktLabel_ = nullptr;
    QLineEdit* standpunkt_ = nullptr;  // "Standpunkt" of the scan: X Y Z
    QPushButton* abbrechen_ = nullptr;  // in the status bar while a scan runs
    QTableView* grid_ = nullptr;
    TGitterModell* gitter_ = nullptr;
    QButtonGroup* datenformat_ = nullptr;
    TBerichtAnsicht* memo_ = nullptr;
    TBerichtModell* bericht_ = nullptr;
    QAction* iterieren_ = nullptr;
    QAction* grafikAktion_ = nullptr;
    TQtGrafikFenster* grafik_ = nullptr;
    QAction* kugelnAktion_ = nullptr;
    TQtKugelFenster* kugeln_ = nullptr;
    QLabel* kugelnAngebot_ = nullptr;  // "Kugeln zeigen" in the status bar
    QAction* hilfeAktion_ = nullptr;
    TQtHandbuch* handbuch_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    TQtStatusText* statusText_ = nullptr;
    QAction* zeilenLoeschen_ = nullptr;
    QAction* zeileEinfuegen_ = nullptr;
    QProgressBar* fortschritt_ = nullptr;
};

// Application-wide set-up before the first widget: German standard dialog texts, the window font.
// Returns the family of the font in use.
QString SetupApplication();

}  // namespace zentrix
