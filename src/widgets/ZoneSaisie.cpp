#include "widgets/ZoneSaisie.h"

#include <QKeyEvent>

ZoneSaisie::ZoneSaisie(QWidget* parent, const QRect& place) : QLineEdit(parent)
{
    setGeometry(place);
}

void ZoneSaisie::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    emit Entree();
}

void ZoneSaisie::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    emit Sortie();
}

void ZoneSaisie::keyPressEvent(QKeyEvent* event)
{
    const bool entree = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QLineEdit::keyPressEvent(event);
    if (entree)
        emit ToucheFrappee(QChar(13));
    else if (!event->text().isEmpty())
        emit ToucheFrappee(event->text().front());
}
