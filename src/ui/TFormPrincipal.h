#pragma once

// The single visible window: fixed-size, borderless and skinned. It is the
// frame the rooms are built in: it paints the background, moves when its
// background pictures are dragged, and announces its first showing, a mouse
// move over its background and the window manager's close. The rooms own
// every other component.

#include <QPoint>
#include <QWidget>

class ImageComposant;

class TFormPrincipal : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Largeur = 586;
    static constexpr int Hauteur = 451;

    TFormPrincipal();
    ~TFormPrincipal() override;

    // A background picture of a room: dragging it moves the window, and the
    // mouse moving over it is announced as FondSurvole.
    void AjouterFond(ImageComposant* fond);
    // Centres the window on its screen's available area.
    void Centrer();

signals:
    // The first showing only: coming back from the tray keeps what the user left.
    void PremiereApparition();
    // The mouse moved over the background: hover looks go back to normal.
    void FondSurvole();
    // The window manager asked to close (Alt+F4, the taskbar).
    void FermetureDemandee();

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CommencerDeplacement(const QPoint& positionEcran);
    void TerminerDeplacement();

    ImageComposant* ImgFond;

    QPoint origineDeplacement_;
    bool deplacementManuel_ = false;
    bool dejaMontree_ = false;
};
