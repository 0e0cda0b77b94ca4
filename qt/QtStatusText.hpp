// The status bar's text: as long as the bar leaves room for, cut with "…" where it is longer, the
// whole text as its tooltip. Unlike a plain label it never claims the width of its text, so the
// widgets beside it (the offer of the sphere overview, the progress bar) stay in sight at every
// width of the window.
#pragma once

#include <QLabel>

namespace zentrix {

class TQtStatusText : public QLabel {
    Q_OBJECT

public:
    explicit TQtStatusText(QWidget* parent = nullptr);
    // The whole text (text() is what is shown, cut where it must be).
    void Setze(const QString& text);
    const QString& Ganz() const { return ganz_; }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Kuerze();

    QString ganz_;
};

}  // namespace zentrix
