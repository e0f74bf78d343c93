#pragma once

// A frame component (a lowered bevel around the trees and the preview).

#include <QFrame>

class Cadre : public QFrame
{
    Q_OBJECT
public:
    Cadre(QWidget* parent, const QRect& place);
};
