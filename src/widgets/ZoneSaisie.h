#pragma once

// The one-line edit box: reports focus in and out and every key typed
// (Enter as character 13).

#include <QLineEdit>

class ZoneSaisie : public QLineEdit
{
    Q_OBJECT
public:
    ZoneSaisie(QWidget* parent, const QRect& place);

signals:
    void Entree();
    void Sortie();
    void ToucheFrappee(QChar touche);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
