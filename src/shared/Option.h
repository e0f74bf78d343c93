#pragma once

// The user's settings for the whole run: the three walk options, the order
// shown for each category's trees and the sound drawing. The one owner of
// these values: the tree manager and the sound player read and write them
// here. Loaded once at start-up, where every stored number is checked, so
// that the fields always hold valid values; saved at close and at each walk
// option ticked. A save writes only what this copy changed, over what the
// file holds then: two running copies keep each other's changes. The folder
// last scanned is kept too, written as each scan starts. The window's saves
// are handed to a thread of their own (Confier): the file's lock, which
// another program may hold, and a large file never hold the window.

#include "shared/Categorie.h"
#include "shared/Dessin.h"
#include "shared/Ordre.h"
#include "shared/Registre.h"
#include "shared/Resultat.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

class Option
{
public:
    static constexpr const char* Racine = "HKEY_CURRENT_USER";
    static constexpr const char* Cle = "Software\\Dudidevir\\Ruvizaro\\1.0";

    // Reads the nine values (the eight, and ParTaille: 0..15 kept, any
    // other number, or none, read as 0 and written by Sauver). A boolean is true for any non-zero number;
    // DessinSon keeps 1..3 and reads any other number as Onde; a tree order
    // keeps 1..3 and reads any other number as its category's default.
    // The missing booleans and DessinSon are written at once as 1, in one
    // save (missing orders are only written by Sauver). A folder that
    // refuses that write is said once on the error output, in French, and
    // the run goes on with the values read. A value of the wrong type is
    // the result's error: the start-up cannot go on. DernierRepertoire is
    // read as stored (a text), empty when missing.
    Resultat<void> Charger();
    // One save, under the settings file's lock, of the nine values that
    // need it: those changed here since the load or the last save, and
    // those the file lacks or holds out of range (a DessinSon out of 1..3
    // as 1). The others keep what the file holds, whoever wrote it; nothing
    // to save, nothing is written. The result's error is the registry's (a
    // refused write: "Failed to set data for '...'").
    Resultat<void> Sauver();
    // Keeps the folder a scan starts on and writes it at once, alone. A path
    // with a line break is kept for this run only; the error says so.
    Resultat<void> RetenirRepertoire(const std::string& chemin);

    // What Sauver writes, handed to the saving thread (started at the first
    // call): returns at once. The thread writes the latest values handed
    // over; while another program holds the folder's lock it tries again.
    // A refused write is told to siEchec, on the saving thread, unless a
    // newer hand-over has come since.
    void Confier(std::function<void(const Erreur&)> siEchec = {});
    // RetenirRepertoire through the saving thread: a line break is said at
    // once, a refused write on the error output.
    Resultat<void> ConfierRepertoire(const std::string& chemin);
    // Waits until everything handed over is written, at most limite: the
    // result of the last write, or an error when it is not written yet
    // (the lock still held elsewhere, said as the cause).
    Resultat<void> AttendreEnregistrement(std::chrono::milliseconds limite);
    // How long the close waits for the last save.
    std::chrono::milliseconds AttenteFermeture{5000};
    // Waits for what was handed over (AttenteFermeture at most), then ends
    // the saving thread; what is still not written is lost.
    void TerminerEnregistrements();

    // The French line shown under a settings error's own text: the file and
    // the cause, for a load and for a save.
    static std::string LigneLecture(const Erreur& erreur);
    static std::string LigneEnregistrement(const Erreur& erreur);

    Option();
    ~Option();
    Option(const Option&) = delete;
    Option& operator=(const Option&) = delete;

    // The order shown for a category when no valid one was stored: by
    // directory, by extension for texts.
    static Ordre OrdreParDefaut(Categorie categorie);

    // Read by the scan worker at every listing.
    std::atomic<bool> FichierCache{true};
    std::atomic<bool> RepertoireCache{true};
    std::atomic<bool> SousRepertoire{true};
    Dessin DessinSon = Dessin::Onde;
    Ordre TreeVideo = OrdreParDefaut(Categorie::Video);
    Ordre TreeSon = OrdreParDefaut(Categorie::Son);
    Ordre TreeImage = OrdreParDefaut(Categorie::Image);
    Ordre TreeTexte = OrdreParDefaut(Categorie::Texte);
    // The folder last scanned, as its bytes; empty before the first scan.
    std::string DernierRepertoire;

    // The tree order of one of the four categories.
    Ordre& OrdreArbre(Categorie categorie);
    // Per category (by slot), whether its biggest-first list is shown
    // instead of its tree of OrdreArbre. Stored as one number under a name
    // of its own, ParTaille (bit i: slot i), which older copies ignore: the
    // tree orders keep their meaning.
    std::array<bool, NombreCategories> ParTaille{};

private:
    static constexpr size_t NombreValeurs = 9;
    using Tenues = std::array<int32_t, NombreValeurs>;
    // The nine values as they are stored, in the order of a save.
    Tenues Stockees();
    // One write of what a save holds: the nine values, the last folder, or
    // both, within the lock's wait. Called by Sauver and the saving thread.
    Resultat<void> Ecrire(const std::optional<Tenues>& valeurs, const std::optional<std::string>& repertoire,
                          const AttenteVerrou& attente);

    // What the nine values were at the load or the last save: a value
    // that differs now was changed by this copy. Never loaded, all eight
    // count as changed. Guarded by mutexConnues_, also held for a whole
    // write so that two saves of this copy never cross.
    std::optional<Tenues> connues_;
    std::mutex mutexConnues_;

    struct Enregistreur;
    // The saving thread, started at its first use.
    Enregistreur& Enregistrement();
    std::unique_ptr<Enregistreur> enregistreur_;
};
