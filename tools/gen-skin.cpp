// Draws every picture of the skin, at 1x and 2x, and the application's
// desktop icons, and writes them into a directory.
//   QT_QPA_PLATFORM=offscreen gen-skin [directory]
// Without a directory, the pictures go to the source tree's skin/ folder.
//
// Everything is vector drawing: icons are laid out on a 24 x 24 grid and
// scaled to whatever size a picture needs. Pictures that sit over others
// (title-bar buttons, banner) start from a crop of the real background so
// their edges match it exactly.

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSvgGenerator>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <utility>

namespace {

// Window layout, in window coordinates.
constexpr int LargeurFenetre = 586;
constexpr int HauteurFenetre = 451;
constexpr int LargeurMenu = 111;
constexpr QPoint OrigineFond(LargeurMenu, 0);
constexpr QPoint OrigineTitre(126, 30);
constexpr QSize TailleTitre(444, 61);
constexpr QPoint BoutonReduire(550, 6);
constexpr QPoint BoutonFermer(565, 6);
constexpr int CoteBoutonBarre = 15;
constexpr int ZoneX = 6;
constexpr std::array<int, 6> ZonesY = {6, 76, 146, 216, 286, 356};
constexpr QSize TailleZone(100, 70);
constexpr int BasMenu = 426;
constexpr QPoint OrigineParcourir(170, 127);
constexpr QPoint OrigineParcourirBas(148, 158);
constexpr QPoint OrigineScan(240, 192);
constexpr QPoint OrigineCompteurs(226, 248);
constexpr QPoint OrigineBarreFond(254, 430);
constexpr QPoint OrigineBarreDevant(224, 429);

// Palette.
const QColor Fond(0xF4, 0xF4, 0xF4);
const QColor FondCompteurs(0xE5, 0xE5, 0xE5);
const QColor Pervenche(0x80, 0x80, 0xFF);
const QColor PervencheClaire(0xA4, 0xA4, 0xFF);
const QColor PervencheFoncee(0x5C, 0x5C, 0xE0);
const QColor PervenchePale(0xE9, 0xE9, 0xFF);
const QColor PervencheBord(0xC2, 0xC2, 0xFA);
const QColor Ardoise(0x3E, 0x41, 0x52);
const QColor GrisIcone(0x6E, 0x72, 0x86);
const QColor GrisDoux(0x9A, 0x9D, 0xAE);
const QColor GrisTrait(0xCF, 0xD1, 0xDC);
const QColor GrisBordure(0xC4, 0xC6, 0xD3);
const QColor Blanc(0xFF, 0xFF, 0xFF);
const QColor MenuHaut(0xF0, 0xF0, 0xF7);
const QColor MenuBas(0xE3, 0xE4, 0xEE);
const QColor FondHaut(0xE9, 0xE9, 0xF5);
const QColor NuitHaut(0x34, 0x36, 0x48);
const QColor NuitBas(0x1E, 0x1F, 0x2A);
const QColor FondPastille(0xEA, 0xEA, 0xF3);
const QColor Cle(0xFF, 0x00, 0xFF);

const QString Sans = "Liberation Sans";
const QString SansLarge = "DejaVu Sans";

constexpr int QualiteJpeg = 92;
constexpr int HauteurBandeauHaut = 3;
constexpr int HauteurDegradeFond = 96;
constexpr qreal Grille = 24.0; // icons are designed on a 24 x 24 grid
constexpr qreal TraitIcone = 1.8;

enum class Forme { Maison, Film, Note, Image, Document, Fleches, Dossier, DossierOuvert, Loupe, HautParleur };

// ---------------------------------------------------------------- helpers

// Every picture is drawn once at 1x and once at 2x for high-density
// screens: pictures carry this device pixel ratio, so that the drawing code
// works in window pixels either way.
qreal Echelle = 1;

// A transparent picture of `taille` window pixels.
QImage Transparente(QSize taille)
{
    QImage image(taille * Echelle, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(Echelle);
    image.fill(Qt::transparent);
    return image;
}

QImage Toile(int largeur, int hauteur, const QColor& fond = Fond)
{
    QImage image = Transparente(QSize(largeur, hauteur));
    image.fill(fond);
    return image;
}

// A part of a picture, in window pixels.
QImage Copie(const QImage& image, const QRect& zone)
{
    QImage copie = image.copy(QRect(zone.topLeft() * Echelle, zone.size() * Echelle));
    copie.setDevicePixelRatio(Echelle);
    return copie;
}

QImage Toile(QSize taille, const QColor& fond = Fond)
{
    return Toile(taille.width(), taille.height(), fond);
}

void Lisser(QPainter& peintre)
{
    peintre.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
}

QFont Police(const QString& famille, int pixels, bool gras = false)
{
    QFont police(famille);
    police.setPixelSize(pixels);
    police.setBold(gras);
    police.setHintingPreference(QFont::PreferNoHinting);
    return police;
}

void Texte(QPainter& peintre, const QRectF& zone, const QString& texte, const QFont& police, const QColor& couleur,
           Qt::Alignment alignement = Qt::AlignCenter)
{
    peintre.save();
    peintre.setFont(police);
    peintre.setPen(couleur);
    peintre.drawText(zone, int(alignement), texte);
    peintre.restore();
}

QPainterPath Arrondi(const QRectF& zone, qreal rayon)
{
    QPainterPath chemin;
    chemin.addRoundedRect(zone, rayon, rayon);
    return chemin;
}

// A soft shadow under a rounded shape: a few widening, fading copies.
void Ombre(QPainter& peintre, const QRectF& zone, qreal rayon, int alphaMax = 26, int couches = 4)
{
    peintre.save();
    peintre.setPen(Qt::NoPen);
    for (int i = couches; i >= 1; --i) {
        peintre.setBrush(QColor(0x20, 0x22, 0x40, alphaMax / i));
        peintre.drawPath(Arrondi(zone.adjusted(-i * 0.5, i * 0.4, i * 0.5, i * 0.9), rayon + i * 0.5));
    }
    peintre.restore();
}

// Pixels the mask never touched become the key colour; every other pixel
// keeps the drawing, antialiased against the real background underneath.
QImage AvecCle(const QImage& dessin, const QImage& masque)
{
    QImage resultat = dessin.convertToFormat(QImage::Format_RGB32);
    resultat.setDevicePixelRatio(dessin.devicePixelRatio());
    for (int y = 0; y < resultat.height(); ++y) {
        auto* ligne = reinterpret_cast<QRgb*>(resultat.scanLine(y));
        const auto* alpha = reinterpret_cast<const QRgb*>(masque.constScanLine(y));
        for (int x = 0; x < resultat.width(); ++x)
            if (qAlpha(alpha[x]) == 0)
                ligne[x] = Cle.rgb();
    }
    if (resultat.pixelColor(0, resultat.height() - 1) != Cle)
        throw std::logic_error("the bottom-left pixel must carry the key colour");
    return resultat;
}

QImage Masque(QSize taille, const std::function<void(QPainter&)>& forme)
{
    QImage masque = Transparente(taille);
    QPainter peintre(&masque);
    Lisser(peintre);
    forme(peintre);
    return masque;
}

// ---------------------------------------------------------------- icons

// Saves the painter and sets it up so that the 24 x 24 design grid fills `zone` (a square).
void PoserGrille(QPainter& peintre, const QRectF& zone, const QColor& couleur, qreal trait)
{
    peintre.save();
    const qreal cote = std::min(zone.width(), zone.height());
    peintre.translate(zone.center().x() - cote / 2, zone.center().y() - cote / 2);
    peintre.scale(cote / Grille, cote / Grille);
    peintre.setPen(QPen(couleur, trait, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    peintre.setBrush(Qt::NoBrush);
}

void IconeMaison(QPainter& p, const QColor&, const QColor& remplissage)
{
    QPainterPath corps;
    corps.moveTo(5.5, 10.2);
    corps.lineTo(5.5, 20.5);
    corps.lineTo(18.5, 20.5);
    corps.lineTo(18.5, 10.2);
    p.fillPath(corps, remplissage);
    p.drawPath(corps);
    QPainterPath toit;
    toit.moveTo(2.8, 11.6);
    toit.lineTo(12, 3.4);
    toit.lineTo(21.2, 11.6);
    p.drawPath(toit);
    QPainterPath porte;
    porte.moveTo(10, 20.5);
    porte.lineTo(10, 15.5);
    porte.quadTo(10, 14, 11.5, 14);
    porte.lineTo(12.5, 14);
    porte.quadTo(14, 14, 14, 15.5);
    porte.lineTo(14, 20.5);
    p.drawPath(porte);
}

void IconeFilm(QPainter& p, const QColor& couleur, const QColor& remplissage)
{
    const QRectF bande(3.5, 3.5, 17, 17);
    p.fillPath(Arrondi(bande, 2.5), remplissage);
    p.drawRoundedRect(bande, 2.5, 2.5);
    p.drawLine(QPointF(7.5, 3.5), QPointF(7.5, 20.5));
    p.drawLine(QPointF(16.5, 3.5), QPointF(16.5, 20.5));
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(couleur);
    for (qreal y : {6.2, 10.9, 15.6}) {
        p.drawRoundedRect(QRectF(4.8, y, 1.5, 2.2), 0.4, 0.4);
        p.drawRoundedRect(QRectF(17.7, y, 1.5, 2.2), 0.4, 0.4);
    }
    QPainterPath lecture;
    lecture.moveTo(10.4, 8.8);
    lecture.lineTo(14.6, 12);
    lecture.lineTo(10.4, 15.2);
    lecture.closeSubpath();
    p.drawPath(lecture);
    p.restore();
}

void IconeNote(QPainter& p, const QColor& couleur, const QColor&)
{
    p.save();
    p.setBrush(couleur);
    QPainterPath poutre;
    poutre.moveTo(9.2, 6.2);
    poutre.lineTo(19.8, 3.6);
    poutre.lineTo(19.8, 6.8);
    poutre.lineTo(9.2, 9.4);
    poutre.closeSubpath();
    p.drawPath(poutre);
    p.drawLine(QPointF(9.2, 7), QPointF(9.2, 17.6));
    p.drawLine(QPointF(19.8, 5), QPointF(19.8, 15.4));
    p.setPen(Qt::NoPen);
    for (const QPointF& tete : {QPointF(6.7, 17.9), QPointF(17.3, 15.7)}) {
        p.save();
        p.translate(tete);
        p.rotate(-22);
        p.drawEllipse(QPointF(0, 0), 3.1, 2.4);
        p.restore();
    }
    p.restore();
}

void IconeImage(QPainter& p, const QColor& couleur, const QColor& remplissage)
{
    const QRectF cadre(3, 4.5, 18, 15);
    const QPainterPath contour = Arrondi(cadre, 2.5);
    p.fillPath(contour, remplissage);
    p.save();
    p.setClipPath(contour);
    p.setPen(Qt::NoPen);
    p.setBrush(couleur);
    QPainterPath montagnes;
    montagnes.moveTo(2.5, 20);
    montagnes.lineTo(2.5, 17.5);
    montagnes.lineTo(8.6, 11.2);
    montagnes.lineTo(12.8, 15.4);
    montagnes.lineTo(15.2, 13.1);
    montagnes.lineTo(21.5, 18.8);
    montagnes.lineTo(21.5, 20);
    montagnes.closeSubpath();
    p.drawPath(montagnes);
    p.drawEllipse(QPointF(15.6, 9), 1.9, 1.9);
    p.restore();
    p.drawPath(contour);
}

void IconeDocument(QPainter& p, const QColor&, const QColor& remplissage)
{
    QPainterPath page;
    page.moveTo(7.5, 2.8);
    page.lineTo(14.2, 2.8);
    page.lineTo(19.2, 7.8);
    page.lineTo(19.2, 19.2);
    page.quadTo(19.2, 21.2, 17.2, 21.2);
    page.lineTo(6.8, 21.2);
    page.quadTo(4.8, 21.2, 4.8, 19.2);
    page.lineTo(4.8, 4.8);
    page.quadTo(4.8, 2.8, 6.8, 2.8);
    page.closeSubpath();
    p.fillPath(page, remplissage);
    p.drawPath(page);
    QPainterPath pli;
    pli.moveTo(14.2, 2.8);
    pli.lineTo(14.2, 6.8);
    pli.quadTo(14.2, 7.8, 15.2, 7.8);
    pli.lineTo(19.2, 7.8);
    p.drawPath(pli);
    for (const auto& [y, fin] : {std::pair{11.8, 15.6}, {15, 15.6}, {18.2, 12.6}})
        p.drawLine(QPointF(8.4, y), QPointF(fin, y));
}

void IconeFleches(QPainter& p, const QColor&, const QColor&)
{
    p.drawLine(QPointF(4, 8), QPointF(19, 8));
    QPainterPath pointe1;
    pointe1.moveTo(15, 4);
    pointe1.lineTo(19.2, 8);
    pointe1.lineTo(15, 12);
    p.drawPath(pointe1);
    p.drawLine(QPointF(20, 16), QPointF(5, 16));
    QPainterPath pointe2;
    pointe2.moveTo(9, 12);
    pointe2.lineTo(4.8, 16);
    pointe2.lineTo(9, 20);
    p.drawPath(pointe2);
}

QPainterPath CheminDossier()
{
    QPainterPath dossier;
    dossier.moveTo(3, 7);
    dossier.quadTo(3, 5, 5, 5);
    dossier.lineTo(9, 5);
    dossier.lineTo(11, 7.2);
    dossier.lineTo(19, 7.2);
    dossier.quadTo(21, 7.2, 21, 9.2);
    dossier.lineTo(21, 17.5);
    dossier.quadTo(21, 19.5, 19, 19.5);
    dossier.lineTo(5, 19.5);
    dossier.quadTo(3, 19.5, 3, 17.5);
    dossier.closeSubpath();
    return dossier;
}

void IconeDossier(QPainter& p, const QColor&, const QColor& remplissage)
{
    const QPainterPath dossier = CheminDossier();
    p.fillPath(dossier, remplissage);
    p.drawPath(dossier);
    p.drawLine(QPointF(3, 10), QPointF(21, 10));
}

void IconeDossierOuvert(QPainter& p, const QColor&, const QColor& remplissage)
{
    QPainterPath fond;
    fond.moveTo(3, 18);
    fond.lineTo(3, 6.5);
    fond.quadTo(3, 4.8, 4.7, 4.8);
    fond.lineTo(8.6, 4.8);
    fond.lineTo(10.6, 7);
    fond.lineTo(17.3, 7);
    fond.quadTo(19, 7, 19, 8.7);
    fond.lineTo(19, 10.5);
    p.drawPath(fond);
    QPainterPath rabat;
    rabat.moveTo(3, 19.5);
    rabat.lineTo(6, 10.5);
    rabat.lineTo(22, 10.5);
    rabat.lineTo(19, 19.5);
    rabat.closeSubpath();
    p.fillPath(rabat, remplissage);
    p.drawPath(rabat);
}

void IconeLoupe(QPainter& p, const QColor& couleur, const QColor& remplissage)
{
    p.save();
    p.setBrush(remplissage);
    p.drawEllipse(QPointF(10.2, 10.2), 6.3, 6.3);
    QPen manche = p.pen();
    manche.setWidthF(manche.widthF() * 1.6);
    manche.setColor(couleur);
    p.setPen(manche);
    p.drawLine(QPointF(15.2, 15.2), QPointF(20.3, 20.3));
    p.restore();
}

void IconeHautParleur(QPainter& p, const QColor& couleur, const QColor& remplissage)
{
    QPainterPath corps;
    corps.moveTo(3.5, 9.5);
    corps.lineTo(7.5, 9.5);
    corps.lineTo(12.5, 5);
    corps.lineTo(12.5, 19);
    corps.lineTo(7.5, 14.5);
    corps.lineTo(3.5, 14.5);
    corps.closeSubpath();
    p.fillPath(corps, remplissage.alpha() ? remplissage : couleur);
    p.drawPath(corps);
    p.drawArc(QRectF(10.5, 8, 8, 8), -50 * 16, 100 * 16);
    p.drawArc(QRectF(9.5, 4.5, 14, 15), -52 * 16, 104 * 16);
}

// Draws an icon into `zone`; `remplissage` fills its closed shapes when not transparent.
void Icone(QPainter& peintre, Forme forme, const QRectF& zone, const QColor& couleur,
           const QColor& remplissage = Qt::transparent, qreal trait = TraitIcone)
{
    PoserGrille(peintre, zone, couleur, trait);
    switch (forme) {
    case Forme::Maison:
        IconeMaison(peintre, couleur, remplissage);
        break;
    case Forme::Film:
        IconeFilm(peintre, couleur, remplissage);
        break;
    case Forme::Note:
        IconeNote(peintre, couleur, remplissage);
        break;
    case Forme::Image:
        IconeImage(peintre, couleur, remplissage);
        break;
    case Forme::Document:
        IconeDocument(peintre, couleur, remplissage);
        break;
    case Forme::Fleches:
        IconeFleches(peintre, couleur, remplissage);
        break;
    case Forme::Dossier:
        IconeDossier(peintre, couleur, remplissage);
        break;
    case Forme::DossierOuvert:
        IconeDossierOuvert(peintre, couleur, remplissage);
        break;
    case Forme::Loupe:
        IconeLoupe(peintre, couleur, remplissage);
        break;
    case Forme::HautParleur:
        IconeHautParleur(peintre, couleur, remplissage);
        break;
    }
    peintre.restore();
}

// The program's mark: a periwinkle tile holding the four categories.
void Logo(QPainter& peintre, const QRectF& zone)
{
    const qreal cote = std::min(zone.width(), zone.height());
    const QRectF carre(zone.center().x() - cote / 2, zone.center().y() - cote / 2, cote, cote);
    const qreal rayon = cote * 0.24;
    QLinearGradient degrade(carre.topLeft(), carre.bottomRight());
    degrade.setColorAt(0, PervencheClaire);
    degrade.setColorAt(1, PervencheFoncee);
    peintre.save();
    peintre.setPen(Qt::NoPen);
    peintre.setBrush(degrade);
    peintre.drawPath(Arrondi(carre, rayon));
    // A soft light from the top left.
    QRadialGradient reflet(carre.topLeft() + QPointF(cote * 0.25, cote * 0.2), cote * 0.8);
    reflet.setColorAt(0, QColor(255, 255, 255, 70));
    reflet.setColorAt(1, QColor(255, 255, 255, 0));
    peintre.setBrush(reflet);
    peintre.drawPath(Arrondi(carre, rayon));

    const qreal marge = cote * 0.14;
    const qreal ecart = cote * 0.07;
    const qreal tuile = (cote - 2 * marge - ecart) / 2;
    const Forme formes[] = {Forme::Film, Forme::Note, Forme::Image, Forme::Document};
    for (int i = 0; i < 4; ++i) {
        const QRectF case_(carre.left() + marge + (i % 2) * (tuile + ecart),
                           carre.top() + marge + (i / 2) * (tuile + ecart), tuile, tuile);
        peintre.setPen(Qt::NoPen);
        peintre.setBrush(QColor(255, 255, 255, 235));
        peintre.drawPath(Arrondi(case_, tuile * 0.26));
        Icone(peintre, formes[i], case_.adjusted(tuile * 0.14, tuile * 0.14, -tuile * 0.14, -tuile * 0.14),
              PervencheFoncee, Qt::transparent, cote < 40 ? 2.4 : 2.0);
    }
    peintre.restore();
}

// ---------------------------------------------------------------- writing

struct Sortie
{
    QDir Dossier;
    int Nombre = 0;
};

// Writes a picture, by its name's suffix: JPEG, BMP (exact colours, for the key) or PNG (with alpha).
void Ecrire(Sortie& sortie, const QString& nom, const QImage& image, QSize attendue)
{
    if (image.size() != attendue * image.devicePixelRatio() || image.devicePixelRatio() != Echelle)
        throw std::logic_error("wrong size for " + nom.toStdString());
    // The 2x picture of "ImgFond.jpg" is "ImgFond@2x.jpg", as Qt names them.
    const QString fichier =
        Echelle == 1 ? nom : nom.section('.', 0, -2) + QString("@%1x.").arg(Echelle) + nom.section('.', -1);
    const QString chemin = sortie.Dossier.filePath(fichier);
    bool ok = false;
    if (nom.endsWith(".jpg"))
        ok = image.convertToFormat(QImage::Format_RGB32).save(chemin, "JPG", QualiteJpeg);
    else if (nom.endsWith(".bmp"))
        ok = image.convertToFormat(QImage::Format_RGB32).save(chemin, "BMP");
    else
        ok = image.convertToFormat(QImage::Format_ARGB32).save(chemin, "PNG");
    if (!ok)
        throw std::runtime_error("cannot write " + chemin.toStdString());
    ++sortie.Nombre;
}

// ---------------------------------------------------------------- pictures

// The right part of the window, without anything on it.
QImage FondFenetre()
{
    const QSize taille(LargeurFenetre - LargeurMenu, HauteurFenetre);
    QImage image = Toile(taille);
    QPainter peintre(&image);
    Lisser(peintre);
    QLinearGradient haut(0, 0, 0, HauteurDegradeFond);
    haut.setColorAt(0, FondHaut);
    haut.setColorAt(1, Fond);
    peintre.fillRect(QRect(0, 0, taille.width(), HauteurDegradeFond), haut);
    // The accent line along the top, and a hairline frame round the borderless window.
    QLinearGradient accent(-LargeurMenu, 0, taille.width(), 0);
    accent.setColorAt(0, PervencheClaire);
    accent.setColorAt(1, PervencheFoncee);
    peintre.fillRect(QRect(0, 0, taille.width(), HauteurBandeauHaut), accent);
    peintre.setPen(GrisBordure);
    peintre.drawLine(taille.width() - 1, HauteurBandeauHaut, taille.width() - 1, taille.height() - 1);
    peintre.drawLine(0, taille.height() - 1, taille.width() - 1, taille.height() - 1);
    return image;
}

QImage CropFond(const QImage& fond, QPoint fenetre, QSize taille)
{
    return Copie(fond, QRect(fenetre - OrigineFond, taille));
}

void DessinerFond(Sortie& sortie, const QImage& fond)
{
    Ecrire(sortie, "ImgFond.jpg", fond, QSize(LargeurFenetre - LargeurMenu, HauteurFenetre));
}

void DessinerTitre(Sortie& sortie, const QImage& fond)
{
    QImage image = CropFond(fond, OrigineTitre, TailleTitre);
    QPainter peintre(&image);
    Lisser(peintre);
    const QRectF carte(1.5, 1.5, TailleTitre.width() - 3, TailleTitre.height() - 5);
    Ombre(peintre, carte, 12);
    QLinearGradient degrade(0, carte.top(), 0, carte.bottom());
    degrade.setColorAt(0, Blanc);
    degrade.setColorAt(1, QColor(0xF8, 0xF8, 0xFC));
    peintre.setBrush(degrade);
    peintre.setPen(QPen(QColor(0xDD, 0xDE, 0xE8), 1));
    peintre.drawPath(Arrondi(carte, 12));

    Logo(peintre, QRectF(7, 5.5, 46, 46));
    Texte(peintre, QRectF(66, 6, 260, 30), "Ruvizaro", Police(Sans, 27, true), Ardoise,
          Qt::AlignLeft | Qt::AlignVCenter);
    Texte(peintre, QRectF(67, 35, 260, 18), "Vos fichiers, par catégorie", Police(Sans, 13), GrisIcone,
          Qt::AlignLeft | Qt::AlignVCenter);

    // The four categories, quietly, at the right of the banner.
    const Forme formes[] = {Forme::Film, Forme::Note, Forme::Image, Forme::Document};
    constexpr qreal CotePastille = 30;
    constexpr qreal PasPastille = 38;
    const qreal departX = carte.right() - 14 - 3 * PasPastille - CotePastille;
    for (int i = 0; i < 4; ++i) {
        const QRectF pastille(departX + i * PasPastille, carte.center().y() - CotePastille / 2, CotePastille,
                              CotePastille);
        peintre.setPen(Qt::NoPen);
        peintre.setBrush(PervenchePale);
        peintre.drawEllipse(pastille);
        Icone(peintre, formes[i], pastille.adjusted(7, 7, -7, -7), Pervenche);
    }
    peintre.end();
    Ecrire(sortie, "ImgTitre.jpg", image, TailleTitre);
}

enum class EtatBouton { Repos, Survol, Appui };

void DessinerBoutonsBarre(Sortie& sortie, const QImage& fond)
{
    const QSize taille(CoteBoutonBarre, CoteBoutonBarre);
    struct Fichier
    {
        const char* nom;
        bool fermer;
        EtatBouton etat;
        QPoint position;
    };
    const Fichier fichiers[] = {
        {"ImgReduireBase.jpg", false, EtatBouton::Repos, BoutonReduire},
        {"ImgReduireMove.jpg", false, EtatBouton::Survol, BoutonReduire},
        {"ImgReduireCilck.jpg", false, EtatBouton::Appui, BoutonReduire},
        {"ImgCloseBase.jpg", true, EtatBouton::Repos, BoutonFermer},
        {"ImgCloseMove.jpg", true, EtatBouton::Survol, BoutonFermer},
        {"ImgCloseClick.jpg", true, EtatBouton::Appui, BoutonFermer},
    };
    for (const Fichier& f : fichiers) {
        QImage image = CropFond(fond, f.position, taille);
        QPainter peintre(&image);
        Lisser(peintre);
        QColor trait = GrisIcone;
        const QRectF pastille(1, 1, CoteBoutonBarre - 2, CoteBoutonBarre - 2);
        if (f.etat != EtatBouton::Repos) {
            QLinearGradient degrade(0, 0, 0, CoteBoutonBarre);
            const bool appui = f.etat == EtatBouton::Appui;
            degrade.setColorAt(0, appui ? PervencheFoncee.darker(115) : PervencheClaire);
            degrade.setColorAt(1, appui ? PervencheFoncee : Pervenche);
            peintre.setPen(Qt::NoPen);
            peintre.setBrush(degrade);
            peintre.drawPath(Arrondi(pastille, 4));
            trait = Blanc;
        }
        peintre.setPen(QPen(trait, 1.6, Qt::SolidLine, Qt::RoundCap));
        const QPointF centre(CoteBoutonBarre / 2.0, CoteBoutonBarre / 2.0);
        constexpr qreal Demi = 3.2;
        if (f.fermer) {
            peintre.drawLine(centre + QPointF(-Demi, -Demi), centre + QPointF(Demi, Demi));
            peintre.drawLine(centre + QPointF(-Demi, Demi), centre + QPointF(Demi, -Demi));
        } else {
            peintre.drawLine(centre + QPointF(-Demi - 0.5, 3), centre + QPointF(Demi + 0.5, 3));
        }
        peintre.end();
        Ecrire(sortie, f.nom, image, taille);
    }
}

struct Zone
{
    const char* nom;
    const char* libelle;
    Forme forme;
};
constexpr std::array<Zone, 6> Zones = {{
    {"Home", "Home", Forme::Maison},
    {"Video", "Video", Forme::Film},
    {"Son", "Son", Forme::Note},
    {"Image", "Image", Forme::Image},
    {"Texte", "Texte", Forme::Document},
    {"Transfert", "Transfert", Forme::Fleches},
}};

constexpr qreal CoteIconeMenu = 28;
constexpr qreal RayonTuile = 10;

QRectF Tuile(const QRectF& zone)
{
    return zone.adjusted(4.5, 3.5, -4.5, -3.5);
}

// Icon and label of one zone, in a zone-sized rectangle.
void ContenuZone(QPainter& peintre, const QRectF& zone, const Zone& z, const QColor& icone, const QColor& texte)
{
    const QRectF carre(zone.center().x() - CoteIconeMenu / 2, zone.top() + 11, CoteIconeMenu, CoteIconeMenu);
    Icone(peintre, z.forme, carre, icone, Qt::transparent, 1.9);
    Texte(peintre, QRectF(zone.left(), zone.top() + 42, zone.width(), 17), z.libelle, Police(Sans, 12, true), texte);
}

// The strip with nothing in its zones.
QImage FondMenu()
{
    QImage image = Toile(LargeurMenu, HauteurFenetre);
    QPainter peintre(&image);
    QLinearGradient degrade(0, 0, 0, HauteurFenetre);
    degrade.setColorAt(0, MenuHaut);
    degrade.setColorAt(1, MenuBas);
    peintre.fillRect(image.rect(), degrade);
    QLinearGradient accent(0, 0, LargeurFenetre, 0);
    accent.setColorAt(0, PervencheClaire);
    accent.setColorAt(1, PervencheFoncee);
    peintre.fillRect(QRect(0, 0, LargeurMenu, HauteurBandeauHaut), accent);
    peintre.setPen(GrisBordure);
    peintre.drawLine(0, HauteurBandeauHaut, 0, HauteurFenetre - 1);
    peintre.drawLine(0, HauteurFenetre - 1, LargeurMenu - 1, HauteurFenetre - 1);
    peintre.setPen(GrisTrait);
    peintre.drawLine(LargeurMenu - 1, HauteurBandeauHaut, LargeurMenu - 1, HauteurFenetre - 2);
    return image;
}

void DessinerMenus(Sortie& sortie, const QImage& fondMenu)
{
    for (size_t choisie = 0; choisie < Zones.size(); ++choisie) {
        QImage image = fondMenu.copy();
        QPainter peintre(&image);
        Lisser(peintre);
        for (size_t i = 0; i < Zones.size(); ++i) {
            const QRectF zone(QPointF(ZoneX, ZonesY[i]), QSizeF(TailleZone));
            if (i == choisie) {
                const QRectF tuile = Tuile(zone);
                Ombre(peintre, tuile, RayonTuile, 40);
                QLinearGradient degrade(0, tuile.top(), 0, tuile.bottom());
                degrade.setColorAt(0, PervencheClaire);
                degrade.setColorAt(1, Pervenche.darker(112));
                peintre.setPen(Qt::NoPen);
                peintre.setBrush(degrade);
                peintre.drawPath(Arrondi(tuile, RayonTuile));
                peintre.setPen(QPen(QColor(255, 255, 255, 60), 1));
                peintre.setBrush(Qt::NoBrush);
                peintre.drawPath(Arrondi(tuile.adjusted(0.5, 0.5, -0.5, -0.5), RayonTuile - 0.5));
                ContenuZone(peintre, zone, Zones[i], Blanc, Blanc);
            } else {
                ContenuZone(peintre, zone, Zones[i], GrisIcone, Ardoise);
            }
        }
        Texte(peintre, QRectF(0, BasMenu, LargeurMenu, HauteurFenetre - BasMenu - 2), "version 1.0", Police(Sans, 10),
              GrisDoux);
        peintre.end();
        Ecrire(sortie, QString("ImgMenu%1.jpg").arg(Zones[choisie].nom), image, QSize(LargeurMenu, HauteurFenetre));
    }
}

// Hover highlights: a pale tile over the zone, keyed outside its rounded shape.
void DessinerSurbrillances(Sortie& sortie, const QImage& fondMenu)
{
    for (size_t i = 0; i < Zones.size(); ++i) {
        const QRect place(QPoint(ZoneX, ZonesY[i]), TailleZone);
        const QRectF zone(QPointF(0, 0), QSizeF(TailleZone));
        const QRectF tuile = Tuile(zone);
        QImage image = Copie(fondMenu, place);
        QPainter peintre(&image);
        Lisser(peintre);
        peintre.setPen(QPen(PervencheBord, 1));
        peintre.setBrush(PervenchePale);
        peintre.drawPath(Arrondi(tuile, RayonTuile));
        ContenuZone(peintre, zone, Zones[i], PervencheFoncee, PervencheFoncee);
        peintre.end();
        const QImage masque = Masque(TailleZone, [&](QPainter& p) {
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(Qt::black);
            p.drawPath(Arrondi(tuile, RayonTuile));
        });
        Ecrire(sortie, QString("Img%1Selection.bmp").arg(Zones[i].nom), AvecCle(image, masque), TailleZone);
    }
}

void DessinerHome(Sortie& sortie, const QImage& fond)
{
    // Browse button; its bottom rows lie under the caption.
    {
        const QSize taille(40, 40);
        QImage image = CropFond(fond, OrigineParcourir, taille);
        QPainter peintre(&image);
        Lisser(peintre);
        const QRectF bouton(4.5, 0.5, 31, 29);
        QLinearGradient degrade(0, bouton.top(), 0, bouton.bottom());
        degrade.setColorAt(0, Blanc);
        degrade.setColorAt(1, PervenchePale);
        peintre.setPen(QPen(PervencheBord, 1));
        peintre.setBrush(degrade);
        peintre.drawPath(Arrondi(bouton, 7));
        Icone(peintre, Forme::Dossier, QRectF(8, 2, 22, 22), PervencheFoncee, Blanc, 1.7);
        Icone(peintre, Forme::Loupe, QRectF(17, 11, 15, 15), PervencheFoncee, PervenchePale, 2.3);
        peintre.end();
        Ecrire(sortie, "ImgHomeParcourir.jpg", image, taille);
    }
    {
        const QSize taille(71, 13);
        QImage image = CropFond(fond, OrigineParcourirBas, taille);
        QPainter peintre(&image);
        Lisser(peintre);
        Texte(peintre, QRectF(0, 0, taille.width(), taille.height()), "Parcourir", Police(Sans, 11, true),
              PervencheFoncee);
        peintre.end();
        Ecrire(sortie, "ImgHomeParcourirBas.jpg", image, taille);
    }
    // Scan button: a round radar with a play sign.
    {
        const QSize taille(40, 40);
        QImage image = CropFond(fond, OrigineScan, taille);
        QPainter peintre(&image);
        Lisser(peintre);
        const QPointF centre(20, 19.5);
        peintre.setPen(Qt::NoPen);
        peintre.setBrush(QColor(0x20, 0x22, 0x40, 22));
        peintre.drawEllipse(centre + QPointF(0, 1.2), 18, 18);
        QLinearGradient degrade(0, 2, 0, 38);
        degrade.setColorAt(0, PervencheClaire);
        degrade.setColorAt(1, PervencheFoncee);
        peintre.setBrush(degrade);
        peintre.drawEllipse(centre, 17.5, 17.5);
        peintre.setBrush(Qt::NoBrush);
        peintre.setPen(QPen(QColor(255, 255, 255, 90), 1.3));
        peintre.drawEllipse(centre, 13, 13);
        peintre.setPen(QPen(QColor(255, 255, 255, 55), 1.3));
        peintre.drawEllipse(centre, 8.5, 8.5);
        QPainterPath lecture;
        lecture.moveTo(centre + QPointF(-4.2, -7));
        lecture.lineTo(centre + QPointF(7.5, 0));
        lecture.lineTo(centre + QPointF(-4.2, 7));
        lecture.closeSubpath();
        peintre.setPen(QPen(Blanc, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        peintre.setBrush(Blanc);
        peintre.drawPath(lecture);
        peintre.end();
        Ecrire(sortie, "ImgHomeScan.jpg", image, taille);
    }
    // The counts box: captions and fields under the value labels.
    {
        const QSize taille(233, 158);
        QImage image = CropFond(fond, OrigineCompteurs, taille);
        QPainter peintre(&image);
        Lisser(peintre);
        const QRectF carte(1.5, 1.5, taille.width() - 3, taille.height() - 5);
        Ombre(peintre, carte, 10);
        peintre.setPen(QPen(QColor(0xDD, 0xDE, 0xE8), 1));
        peintre.setBrush(Blanc);
        peintre.drawPath(Arrondi(carte, 10));

        constexpr int ChampX = 94;
        constexpr int ChampLargeur = 92;
        constexpr int ChampHauteur = 16;
        constexpr int Debord = 2;
        struct Ligne
        {
            const char* libelle;
            int y;
            Forme forme;
            bool total;
        };
        const Ligne lignes[] = {{"Video", 23, Forme::Film, false},
                                {"Son", 44, Forme::Note, false},
                                {"Image", 65, Forme::Image, false},
                                {"Texte", 86, Forme::Document, false},
                                {"Total", 119, Forme::Document, true}};
        for (const Ligne& l : lignes) {
            peintre.setPen(Qt::NoPen);
            peintre.setBrush(FondCompteurs);
            peintre.drawPath(Arrondi(
                QRectF(ChampX - Debord - 1, l.y - Debord, ChampLargeur + 2 * Debord + 2, ChampHauteur + 2 * Debord),
                4));
            if (!l.total)
                Icone(peintre, l.forme, QRectF(14, l.y - 0.5, 17, 17), Pervenche, Qt::transparent, 2.0);
            Texte(peintre, QRectF(l.total ? 16 : 38, l.y - 2, 54, ChampHauteur + 4), l.libelle,
                  Police(Sans, 12, l.total), l.total ? Ardoise : GrisIcone, Qt::AlignLeft | Qt::AlignVCenter);
        }
        peintre.setPen(QPen(GrisTrait, 1));
        peintre.drawLine(QPointF(14, 110.5), QPointF(taille.width() - 16, 110.5));
        peintre.end();
        Ecrire(sortie, "ImgHomeFichierFond.jpg", image, taille);
    }
}

void DessinerProgression(Sortie& sortie, const QImage& fond)
{
    const QSize tailleFond(190, 11);
    const QSize tailleBloc(29, 9);
    const QSize tailleDevant(249, 14);

    // The track: a shallow groove that fades into the background at both ends.
    QImage piste = CropFond(fond, OrigineBarreFond, tailleFond);
    {
        QPainter peintre(&piste);
        QImage sillon = Toile(tailleFond, QColor(0xE4, 0xE5, 0xEE));
        {
            QPainter p(&sillon);
            p.setPen(QColor(0xD6, 0xD7, 0xE3));
            p.drawLine(0, 0, tailleFond.width(), 0);
            p.setPen(QColor(0xDD, 0xDE, 0xE9));
            p.drawLine(0, 1, tailleFond.width(), 1);
        }
        QImage fondu = Transparente(tailleFond);
        {
            QPainter p(&fondu);
            QLinearGradient g(0, 0, tailleFond.width(), 0);
            g.setColorAt(0, QColor(0, 0, 0, 0));
            g.setColorAt(0.12, QColor(0, 0, 0, 255));
            g.setColorAt(0.88, QColor(0, 0, 0, 255));
            g.setColorAt(1, QColor(0, 0, 0, 0));
            p.fillRect(fondu.rect(), g);
            p.setCompositionMode(QPainter::CompositionMode_SourceIn);
            p.drawImage(0, 0, sillon);
        }
        peintre.drawImage(0, 0, fondu);
    }
    Ecrire(sortie, "ImgProgressBarFond.jpg", piste, tailleFond);

    {
        QImage bloc = Toile(tailleBloc, Pervenche);
        QPainter peintre(&bloc);
        QLinearGradient degrade(0, 0, 0, tailleBloc.height());
        degrade.setColorAt(0, PervencheClaire);
        degrade.setColorAt(1, PervencheFoncee);
        peintre.fillRect(bloc.rect(), degrade);
        peintre.setPen(QColor(255, 255, 255, 90));
        peintre.drawLine(1, 1, tailleBloc.width() - 2, 1);
        peintre.end();
        Ecrire(sortie, "ImgProgressBar.jpg", bloc, tailleBloc);
    }

    // The frame: a thin capsule, keyed inside and outside.
    {
        QImage dessous = CropFond(fond, OrigineBarreDevant, tailleDevant);
        {
            QPainter p(&dessous);
            p.drawImage(OrigineBarreFond - OrigineBarreDevant, piste);
        }
        const QRectF capsule(0.5, 0.5, tailleDevant.width() - 1, tailleDevant.height() - 1);
        const qreal rayon = capsule.height() / 2;
        const auto contour = [&](QPainter& p, const QColor& couleur) {
            p.setPen(QPen(couleur, 1.1));
            p.setBrush(Qt::NoBrush);
            p.drawPath(Arrondi(capsule, rayon));
        };
        QPainter peintre(&dessous);
        Lisser(peintre);
        contour(peintre, QColor(0xA9, 0xAB, 0xC2));
        peintre.end();
        const QImage masque = Masque(tailleDevant, [&](QPainter& p) { contour(p, Qt::black); });
        Ecrire(sortie, "ImgProgressBarDevant.bmp", AvecCle(dessous, masque), tailleDevant);
    }
}

// A big icon over a caption, for the preview frame.
QImage Apercu(const std::function<void(QPainter&, const QRectF&)>& icone, const QString& legende)
{
    constexpr int Cote = 160;
    QImage image = Toile(Cote, Cote);
    QPainter peintre(&image);
    Lisser(peintre);
    const QPointF centre(Cote / 2.0, 66);
    peintre.setPen(Qt::NoPen);
    peintre.setBrush(FondPastille);
    peintre.drawEllipse(centre, 44, 44);
    icone(peintre, QRectF(centre.x() - 30, centre.y() - 30, 60, 60));
    if (!legende.isEmpty())
        Texte(peintre, QRectF(0, 120, Cote, 20), legende, Police(Sans, 12, true), GrisIcone);
    return image;
}

void DessinerApercus(Sortie& sortie)
{
    const QSize apercu(160, 160);
    Ecrire(sortie, "ImgImageNonSupporte.jpg",
           Apercu(
               [](QPainter& p, const QRectF& zone) {
                   Icone(p, Forme::Image, zone, GrisDoux, Blanc, 1.6);
                   // A crack across the picture, cut out in the background colour.
                   const QPointF o = zone.topLeft();
                   const qreal k = zone.width() / Grille;
                   QPainterPath fissure(o + QPointF(14.5, 3) * k);
                   for (const QPointF& pt : {QPointF(11.5, 9.5), QPointF(14.5, 13), QPointF(11, 21.5)})
                       fissure.lineTo(o + pt * k);
                   p.setPen(QPen(FondPastille, 3.2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
                   p.setBrush(Qt::NoBrush);
                   p.drawPath(fissure);
               },
               "Format non supporté"),
           apercu);
    Ecrire(sortie, "ImgNonTrouve.jpg",
           Apercu(
               [](QPainter& p, const QRectF& zone) {
                   Icone(p, Forme::Loupe, zone, GrisDoux, Blanc, 1.6);
                   const qreal k = zone.width() / Grille;
                   const QRectF lentille(zone.left() + 4 * k, zone.top() + 4 * k, 12.4 * k, 12.4 * k);
                   Texte(p, lentille, "?", Police(Sans, 24, true), Pervenche);
               },
               "Fichier introuvable"),
           apercu);
    Ecrire(sortie, "ImageSonAucuneAnim.jpg",
           Apercu(
               [](QPainter& p, const QRectF& zone) {
                   Icone(p, Forme::HautParleur, zone.adjusted(-4, 2, -4, 2), Pervenche, PervenchePale, 1.6);
               },
               "Lecture audio"),
           apercu);

    {
        const QSize taille(100, 100);
        QImage image = Toile(taille);
        QPainter peintre(&image);
        Lisser(peintre);
        const QRectF zone(14, 12, 72, 72);
        peintre.save();
        peintre.translate(1.5, 2.5);
        Icone(peintre, Forme::Document, zone, QColor(0, 0, 0, 0), QColor(0x20, 0x22, 0x40, 25), 1.6);
        peintre.restore();
        Icone(peintre, Forme::Document, zone, GrisDoux, Blanc, 1.4);
        peintre.end();
        Ecrire(sortie, "ImageTexte.jpg", image, taille);
    }
    {
        const QSize taille(12, 11);
        QImage image = Toile(taille);
        QPainter peintre(&image);
        Lisser(peintre);
        QPainterPath triangle;
        triangle.moveTo(2.5, 1);
        triangle.lineTo(10.5, 5.5);
        triangle.lineTo(2.5, 10);
        triangle.closeSubpath();
        peintre.fillPath(triangle, Ardoise);
        peintre.end();
        Ecrire(sortie, "ImgPlay.bmp", image, taille);
    }
    {
        const QSize taille(8, 12);
        QImage image = Toile(taille);
        QPainter peintre(&image);
        peintre.fillRect(QRect(1, 1, 2, 10), Ardoise);
        peintre.fillRect(QRect(5, 1, 2, 10), Ardoise);
        peintre.end();
        Ecrire(sortie, "ImgPause.bmp", image, taille);
    }
    {
        // The stop square, as tall as the play triangle and in its colour.
        const QSize taille(12, 12);
        QImage image = Toile(taille);
        QPainter peintre(&image);
        Lisser(peintre);
        QPainterPath carre;
        carre.addRoundedRect(QRectF(2, 2, 8, 8), 0.8, 0.8);
        peintre.fillPath(carre, Ardoise);
        peintre.end();
        Ecrire(sortie, "ImgStop.bmp", image, taille);
    }
}

void DessinerPropos(Sortie& sortie)
{
    const QSize taille(343, 121);
    QImage image = Toile(taille);
    QPainter peintre(&image);
    Lisser(peintre);
    QLinearGradient nuit(0, 0, 0, taille.height());
    nuit.setColorAt(0, NuitHaut);
    nuit.setColorAt(1, NuitBas);
    peintre.fillRect(image.rect(), nuit);
    QRadialGradient halo(QPointF(60, 60), 70);
    halo.setColorAt(0, QColor(0x80, 0x80, 0xFF, 60));
    halo.setColorAt(1, QColor(0x80, 0x80, 0xFF, 0));
    peintre.fillRect(image.rect(), halo);
    QLinearGradient accent(0, 0, taille.width(), 0);
    accent.setColorAt(0, PervencheClaire);
    accent.setColorAt(1, PervencheFoncee);
    peintre.fillRect(QRect(0, 0, taille.width(), HauteurBandeauHaut), accent);
    Logo(peintre, QRectF(18, 18, 84, 84));
    peintre.setPen(QColor(255, 255, 255, 28));
    peintre.drawLine(QPointF(120, 80.5), QPointF(taille.width() - 14, 80.5));
    peintre.end();
    Ecrire(sortie, "ImageFondPropos.jpg", image, taille);
}

// The application icon for the desktop's hicolor theme: the mark at every
// usual size, drawn for that size, and once as SVG for any other size.
constexpr std::array<int, 8> TaillesBureau = {16, 22, 24, 32, 48, 64, 128, 256};
constexpr int CoteSvg = 256;

void DessinerIconesBureau(Sortie& sortie)
{
    for (const int cote : TaillesBureau) {
        const QString dossier = QString("icones/%1x%1").arg(cote);
        if (!sortie.Dossier.mkpath(dossier))
            throw std::runtime_error("cannot create " + dossier.toStdString());
        const QSize taille(cote, cote);
        QImage image(taille, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter peintre(&image);
        Lisser(peintre);
        // The same margin as the 64 x 64 picture, 1/32 of the side.
        const qreal marge = cote / 32.0;
        Logo(peintre, QRectF(marge, marge, cote - 2 * marge, cote - 2 * marge));
        peintre.end();
        Ecrire(sortie, dossier + "/ruvizaro.png", image, taille);
    }
    if (!sortie.Dossier.mkpath("icones/scalable"))
        throw std::runtime_error("cannot create icones/scalable");
    QSvgGenerator svg;
    svg.setFileName(sortie.Dossier.filePath("icones/scalable/ruvizaro.svg"));
    svg.setSize(QSize(CoteSvg, CoteSvg));
    svg.setViewBox(QRect(0, 0, CoteSvg, CoteSvg));
    svg.setTitle("Ruvizaro");
    QPainter peintre;
    if (!peintre.begin(&svg))
        throw std::runtime_error("cannot write ruvizaro.svg");
    Lisser(peintre);
    const qreal marge = CoteSvg / 32.0;
    Logo(peintre, QRectF(marge, marge, CoteSvg - 2 * marge, CoteSvg - 2 * marge));
    peintre.end();
    ++sortie.Nombre;
}

void DessinerIcones(Sortie& sortie)
{
    {
        const QSize taille(64, 64);
        QImage image = Transparente(taille);
        QPainter peintre(&image);
        Lisser(peintre);
        Logo(peintre, QRectF(2, 2, 60, 60));
        peintre.end();
        Ecrire(sortie, "Ruvizaro.png", image, taille);
    }
    // The desktop's icons have a file per size already.
    if (Echelle == 1)
        DessinerIconesBureau(sortie);
    // The folders of the trees, 16 x 16.
    for (const auto& [nom, forme] :
         {std::pair{"DossierFerme.png", Forme::Dossier}, {"DossierOuvert.png", Forme::DossierOuvert}}) {
        const QSize taille(16, 16);
        QImage image = Transparente(taille);
        QPainter peintre(&image);
        Lisser(peintre);
        Icone(peintre, forme, QRectF(0, 0, 16, 16), PervencheFoncee, QColor(0xC4, 0xC4, 0xFF), 2.1);
        peintre.end();
        Ecrire(sortie, nom, image, taille);
    }
}

QString DossierParDefaut()
{
    const std::filesystem::path source(__FILE__);
    return QString::fromStdString((source.parent_path().parent_path() / "skin").string());
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const QString chemin = arguments.size() > 1 ? arguments[1] : DossierParDefaut();
    QDir dossier(chemin);
    if (!dossier.mkpath(".")) {
        std::fprintf(stderr, "gen-skin: cannot create %s\n", qPrintable(chemin));
        return 1;
    }
    for (const QString& famille : {Sans, SansLarge})
        if (!QFontDatabase::families().contains(famille))
            std::fprintf(stderr, "gen-skin: font %s is missing, text will fall back\n", qPrintable(famille));

    try {
        Sortie sortie{dossier};
        for (const qreal echelle : {1.0, 2.0}) {
            Echelle = echelle;
            const QImage fond = FondFenetre();
            const QImage fondMenu = FondMenu();
            DessinerFond(sortie, fond);
            DessinerTitre(sortie, fond);
            DessinerBoutonsBarre(sortie, fond);
            DessinerMenus(sortie, fondMenu);
            DessinerSurbrillances(sortie, fondMenu);
            DessinerHome(sortie, fond);
            DessinerProgression(sortie, fond);
            DessinerApercus(sortie);
            DessinerPropos(sortie);
            DessinerIcones(sortie);
        }
        std::printf("gen-skin: %d pictures written to %s\n", sortie.Nombre, qPrintable(dossier.absolutePath()));
    } catch (const std::exception& erreur) {
        std::fprintf(stderr, "gen-skin: %s\n", erreur.what());
        return 1;
    }
    return 0;
}
