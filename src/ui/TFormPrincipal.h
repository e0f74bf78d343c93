#pragma once

// The single visible window: fixed-size, borderless and skinned. It is the
// frame the rooms are built in: it paints the background, moves when its
// background pictures are dragged, and announces its first showing, a mouse
// move over its background, the window manager's close and a path dropped
// from a file manager. The rooms own every other component.

#include <QByteArray>
#include <QPoint>
#include <QWidget>

#include <optional>

class ImageComposant;
class QMimeData;

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
    // Whether a dropped path is welcome now; refused until a room says so.
    void AccepterDepots(bool accepter);
    // The path of a drag that carries one local file URL and nothing else,
    // as the file system's bytes (a name that is not UTF-8 included).
    static std::optional<QByteArray> CheminLocal(const QMimeData* donnees);

signals:
    // The first showing only: coming back from the tray keeps what the user left.
    void PremiereApparition();
    // The mouse moved over the background, or left the window: hover looks
    // go back to normal.
    void FondSurvole();
    // The window manager asked to close (Alt+F4, the taskbar).
    void FermetureDemandee();
    // One local file or folder was dropped on the window, while drops were
    // welcome; nothing is known yet of what the path is.
    void CheminDepose(const QByteArray& chemin);

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CommencerDeplacement(const QPoint& positionEcran);
    void TerminerDeplacement();
    // Accepts a drag of one local path as a copy (never a move: the file
    // manager would delete what it moved) and ignores any other.
    bool AccepterGlisser(QDropEvent* event);

    ImageComposant* ImgFond;

    QPoint origineDeplacement_;
    bool deplacementManuel_ = false;
    bool dejaMontree_ = false;
    bool depotsAcceptes_ = false;
};
