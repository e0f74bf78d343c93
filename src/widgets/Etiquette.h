#pragma once

// A label component: a QLabel with a tag, transparent or on a background
// colour, reporting clicks and mouse moves.

#include <QLabel>

class Etiquette : public QLabel
{
    Q_OBJECT
public:
    // An empty size makes the label fit its text.
    Etiquette(QWidget* parent, const QString& texte, const QPoint& position, const QSize& taille = {});

    void DefinirCouleurTexte(const QColor& couleur);
    // An invalid colour makes the label transparent.
    void DefinirCouleurFond(const QColor& couleur);
    void DefinirPolice(const QString& famille, int pixels, bool gras);
    QColor CouleurTexte() const;
    // Keeps the hint; shows it as a tool tip only when montrer is true.
    void DefinirHint(const QString& hint, bool montrer);
    QString Hint() const { return hint_; }
    void DefinirTexte(const QString& texte); // resizes when the label fits its text
    // The accessible description follows the text set by DefinirTexte: a
    // label named for screen readers ("Temps écoulé") still tells its value.
    void DecrireParTexte(bool decrire);
    // A text wider than the label shows elided this way ("…"); text() keeps
    // it whole. Qt::ElideNone, the default, cuts it at the edge.
    void DefinirElision(Qt::TextElideMode mode);
    // The text as painted.
    QString TexteAffiche() const;

    int Tag = 0;

signals:
    void Clic();
    void SourisBouge();
    // The pointer has left the label (leave events come even when it jumps).
    void SourisSortie();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString hint_;
    bool ajuste_;
    bool enfonce_ = false;
    bool decrireParTexte_ = false;
    Qt::TextElideMode elision_ = Qt::ElideNone;
};
