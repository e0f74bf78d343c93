#pragma once

// A painted picture component: shows a picture (stretched, proportional or
// centred), optionally transparent where the picture has the colour of its
// bottom-left pixel, and reports clicks, double clicks, mouse moves and the
// pointer leaving it.

#include <QPixmap>
#include <QWidget>

class ImageComposant : public QWidget
{
    Q_OBJECT
public:
    explicit ImageComposant(QWidget* parent, const QRect& place = {});

    void DefinirImage(const QPixmap& image);
    void DefinirImage(const QImage& image);
    void ViderImage();
    const QPixmap& Image() const { return image_; }
    bool ImageVide() const { return image_.isNull(); }

    // Pixels of the picture's bottom-left colour are not painted.
    void DefinirTransparent(bool transparent);
    // Scales the picture down, keeping its proportions, when it is larger.
    void DefinirProportionnel(bool proportionnel)
    {
        proportionnel_ = proportionnel;
        update();
    }
    void DefinirCentre(bool centre)
    {
        centre_ = centre;
        update();
    }
    // The hint is kept; it is shown as a tool tip only when montrer is true.
    void DefinirHint(const QString& hint, bool montrer);
    QString Hint() const { return hint_; }

    int Tag = 0;

signals:
    // The picture was assigned (even the same one again).
    void ImageChangee();
    void Clic();
    void DoubleClic();
    void SourisBouge();
    // The pointer left the component, however fast it went and wherever to.
    void SourisSortie();
    void SourisEnfoncee(Qt::MouseButton bouton, QPoint positionEcran);
    void SourisRelachee(Qt::MouseButton bouton);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void PreparerAffichage();

    QPixmap image_;
    QPixmap affiche_; // the picture with its transparent colour masked out
    QString hint_;
    bool transparent_ = false;
    bool proportionnel_ = false;
    bool centre_ = false;
    bool enfonce_ = false;
};
