#include "trees/ConstructeurArbres.h"

#include "classification/Extension.h"
#include "classification/NomFichier.h"
#include "shared/Textes.h"
#include "trees/ArbreCategorie.h"
#include "trees/VuesArbres.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int ImageDossier = 0;
constexpr int SansImage = -1;
constexpr int NombreLettresAlphabet = 26;

const QString TexteLettres = QStringLiteral("A...Z");
constexpr const char* TexteParTaille = "Les plus gros d'abord";

} // namespace

ConstructeurArbres::ConstructeurArbres(VuesArbres& vues, const Stockage& stockage, const Extension& extension)
    : vues_(vues), stockage_(stockage), extension_(extension)
{}

void ConstructeurArbres::ConstruireAlphabetique()
{
    vues_.Vider(VuesArbres::ModeVider::ExtensionEtAlphabetique);
    for (Categorie categorie : Categories) {
        ConstruireLettres(categorie, stockage_.NombresLettres(categorie));
        ConstruireParTaille(categorie, stockage_.Compteur(categorie));
    }
}

void ConstructeurArbres::ConstruireParTaille(Categorie categorie, int64_t nombre)
{
    // One group node, the whole category; its list is read when it opens.
    ArbreCategorie* arbre = vues_.Arbre(categorie, Ordre::Taille);
    if (!arbre)
        return;
    arbre->AjouterGroupe(nullptr, QString::fromStdString(Textes::Groupe(nombre, TexteParTaille)), ImageDossier, 0,
                         SansImage);
    vues_.OuvrirParTaille(categorie);
}

void ConstructeurArbres::RemplirArbresExtension()
{
    for (Categorie categorie : Categories)
        ConstruireExtensionsStockees(categorie);
}

void ConstructeurArbres::ConstruireLettres(Categorie categorie, const std::array<int32_t, Stockage::NombreLettres>& n)
{
    ArbreCategorie* arbre = vues_.Arbre(categorie, Ordre::Alphabetique);
    if (!arbre)
        return;
    arbre->AjouterGroupe(nullptr, QStringLiteral("0...9 (%1)").arg(n[NomFichier::LettreChiffre]), ImageDossier,
                         NomFichier::LettreChiffre, SansImage);
    Noeud* lettres = arbre->AjouterRacine(TexteLettres, ImageDossier);
    for (int j = 1; j <= NombreLettresAlphabet; ++j) {
        const QString texte = QStringLiteral("%1 (%2)").arg(QChar('A' + j - 1)).arg(n[static_cast<size_t>(j)]);
        arbre->AjouterGroupe(lettres, texte, ImageDossier, j, ImageDossier);
    }
    arbre->AjouterGroupe(nullptr, QStringLiteral("Special (%1)").arg(n[NomFichier::LettreSpeciale]), ImageDossier,
                         NomFichier::LettreSpeciale, SansImage);
}

void ConstructeurArbres::ConstruireExtensionsStockees(Categorie categorie)
{
    ConstruireExtensions(categorie,
                         [this, categorie](int ligne) { return stockage_.NombreExtension(categorie, ligne); });
}

void ConstructeurArbres::ConstruireExtensions(Categorie categorie, const std::function<int32_t(int)>& nombreDe)
{
    ArbreCategorie* arbre = vues_.Arbre(categorie, Ordre::Extension);
    const std::vector<TExt>& table = extension_.Table();
    for (size_t ligne = 0; ligne < table.size() && arbre; ++ligne) {
        const TExt& entree = table[ligne];
        if (entree.Cat != categorie)
            continue;
        const int32_t nombre = nombreDe(static_cast<int>(ligne));
        if (nombre < 0)
            continue;
        arbre->AjouterGroupe(nullptr, QString::fromStdString(Textes::Groupe(nombre, entree.Ext)), ImageDossier,
                             static_cast<int32_t>(ligne), SansImage);
    }
}

void ConstructeurArbres::ReconstruireCategorie(Categorie categorie, const Stockage::Filtre* filtre, int racines)
{
    if (!CategorieValide(categorie))
        return;
    for (Ordre ordre : Ordres)
        vues_.Arbre(categorie, ordre)->ToutSupprimer();
    vues_.Arbre(categorie, Ordre::Taille)->ToutSupprimer();
    ArbreCategorie* repertoires = vues_.Arbre(categorie, Ordre::Repertoire);
    ConstruireParTaille(categorie, filtre ? filtre->Nombre : stockage_.Compteur(categorie));
    if (filtre) {
        ConstruireLettres(categorie, filtre->Lettres);
        // A filter leaves out the extensions with no file kept.
        ConstruireExtensions(categorie, [filtre](int ligne) {
            const auto i = static_cast<size_t>(ligne);
            const int32_t n = i < filtre->Extensions.size() ? filtre->Extensions[i] : -1;
            return n > 0 ? n : -1;
        });
        repertoires->AjouterRacinesAvecAttente(filtre->TextesRepertoires, ImageDossier, &filtre->Repertoires);
        return;
    }
    ConstruireLettres(categorie, stockage_.NombresLettres(categorie));
    ConstruireExtensionsStockees(categorie);
    AjouterRepertoires(categorie, std::clamp(racines, 0, stockage_.NombreRepertoires(categorie)));
}

void ConstructeurArbres::AjouterRepertoires(Categorie categorie, int nombre)
{
    // No text: the nodes show the store's texts.
    if (ArbreCategorie* arbre = vues_.Arbre(categorie, Ordre::Repertoire); arbre && nombre > 0)
        arbre->AjouterRacinesAvecAttente(std::vector<QString>(static_cast<size_t>(nombre)), ImageDossier);
}
