#include "widgets/Cadre.h"

Cadre::Cadre(QWidget* parent, const QRect& place) : QFrame(parent)
{
    setGeometry(place);
    setFrameStyle(QFrame::Box | QFrame::Sunken);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}
