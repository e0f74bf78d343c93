#include "widgets/Etiquette.h"
#include "widgets/MarqueFocus.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

Etiquette::Etiquette(QWidget* parent, const QString& texte, const QPoint& position, const QSize& taille)
    : QLabel(texte, parent), ajuste_(!taille.isValid())
{
    move(position);
    if (ajuste_)
        adjustSize();
    else
        resize(taille);
    setMouseTracking(true);
    setTextFormat(Qt::PlainText);
}

void Etiquette::DefinirCouleurTexte(const QColor& couleur)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, couleur);
    p.setColor(QPalette::Disabled, QPalette::WindowText, couleur);
    setPalette(p);
}

QColor Etiquette::CouleurTexte() const
{
    return palette().color(QPalette::WindowText);
}

void Etiquette::DefinirCouleurFond(const QColor& couleur)
{
    setAutoFillBackground(couleur.isValid());
    if (couleur.isValid()) {
        QPalette p = palette();
        p.setColor(QPalette::Window, couleur);
        setPalette(p);
    }
}

void Etiquette::DefinirPolice(const QString& famille, int pixels, bool gras)
{
    QFont police(famille);
    police.setPixelSize(pixels);
    police.setBold(gras);
    setFont(police);
    if (ajuste_)
        adjustSize();
}

void Etiquette::DefinirHint(const QString& hint, bool montrer)
{
    hint_ = hint;
    setToolTip(montrer ? hint : QString());
}

void Etiquette::DefinirTexte(const QString& texte)
{
    setText(texte);
    if (ajuste_)
        adjustSize();
    if (decrireParTexte_ && accessibleDescription() != texte)
        setAccessibleDescription(texte);
}

void Etiquette::DecrireParTexte(bool decrire)
{
    decrireParTexte_ = decrire;
    setAccessibleDescription(decrire ? text() : QString());
}

void Etiquette::DefinirElision(Qt::TextElideMode mode)
{
    elision_ = mode;
    update();
}

QString Etiquette::TexteAffiche() const
{
    if (elision_ == Qt::ElideNone)
        return text();
    return fontMetrics().elidedText(text(), elision_, contentsRect().width());
}

void Etiquette::paintEvent(QPaintEvent* event)
{
    if (elision_ == Qt::ElideNone) {
        QLabel::paintEvent(event);
    } else {
        QPainter peintre(this);
        style()->drawItemText(&peintre, contentsRect(), QStyle::visualAlignment(layoutDirection(), alignment()),
                              palette(), isEnabled(), TexteAffiche(), foregroundRole());
    }
    if (hasFocus()) {
        QPainter peintre(this);
        PeindreMarqueFocus(peintre, rect());
    }
}

void Etiquette::mousePressEvent(QMouseEvent* event)
{
    enfonce_ = event->button() == Qt::LeftButton;
    event->accept();
}

void Etiquette::mouseReleaseEvent(QMouseEvent* event)
{
    const bool clic = enfonce_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    enfonce_ = false;
    if (clic)
        emit Clic();
    event->accept();
}

void Etiquette::mouseMoveEvent(QMouseEvent* event)
{
    emit SourisBouge();
    event->accept();
}

void Etiquette::leaveEvent(QEvent* event)
{
    emit SourisSortie();
    QLabel::leaveEvent(event);
}
