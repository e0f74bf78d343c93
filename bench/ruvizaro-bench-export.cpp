// The export of a long list of found files: the time Exportation takes to
// write N entries as a playlist (M3U8), against writing the same text at
// once with one fwrite: to a new name (no fsync on either side), and over
// an older file (the export then puts the file on disk first: fwrite with
// its fsync).
// Also the table (CSV), which asks the size of every file (one fstatat
// each; here the paths do not exist, so each lookup fails at the first
// missing folder).
//   ruvizaro-bench-export [--json] [--entries N] [--dir DIR]
// Median of 3 runs each. Exits with 1 when the playlist takes more than
// twice its fwrite, either way.

#include "scan/Exportation.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr size_t EntreesParDefaut = 1'000'000;
constexpr int Tours = 3;
constexpr double Cible = 2.0;

double Secondes(const std::function<void()>& travail)
{
    const auto debut = std::chrono::steady_clock::now();
    travail();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
}

double Mediane(std::vector<double> valeurs)
{
    std::sort(valeurs.begin(), valeurs.end());
    return valeurs[valeurs.size() / 2];
}

// One fwrite of the whole text, then optionally fsync, as a plain program would.
void EcrireDUnCoup(const std::string& chemin, const std::string& texte, bool synchroniser)
{
    std::FILE* f = std::fopen(chemin.c_str(), "wb");
    if (!f || std::fwrite(texte.data(), 1, texte.size(), f) != texte.size()) {
        std::perror(chemin.c_str());
        std::exit(2);
    }
    std::fflush(f);
    if (synchroniser)
        ::fsync(fileno(f));
    std::fclose(f);
}

} // namespace

int main(int argc, char** argv)
{
    bool json = false;
    size_t nombre = EntreesParDefaut;
    std::string dossier = std::filesystem::temp_directory_path().string();
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--json"))
            json = true;
        else if (!std::strcmp(argv[i], "--entries") && i + 1 < argc)
            nombre = std::strtoul(argv[++i], nullptr, 10);
        else if (!std::strcmp(argv[i], "--dir") && i + 1 < argc)
            dossier = argv[++i];
        else {
            std::fprintf(stderr, "usage: %s [--json] [--entries N] [--dir DIR]\n", argv[0]);
            return 2;
        }
    }

    // Paths shaped like a music collection: 20 files an album, accents.
    std::vector<std::string> chemins;
    chemins.reserve(nombre);
    for (size_t i = 0; i < nombre; ++i)
        chemins.push_back("/rvz-bench-absent/Musique/Artiste " + std::to_string(i / 2000) + "/Album été " +
                          std::to_string(i / 20) + "/" + std::to_string(i % 20) + " - Morceau " + std::to_string(i) +
                          ".mp3");
    const std::string texte = Exportation::Texte(Exportation::Format::ListeLecture, chemins);
    const std::string cible = dossier + "/ruvizaro-bench-export.m3u8";
    const std::string reference = dossier + "/ruvizaro-bench-export-fwrite.m3u8";
    const std::string tableau = dossier + "/ruvizaro-bench-export.csv";

    std::atomic<bool> arret{false};
    std::vector<double> exportation, fwriteSync, fwriteSeul, csv;
    bool identique = true;
    std::vector<double> nouveau;
    auto exporter = [&] {
        if (!Exportation::Ecrire(Exportation::Format::ListeLecture, chemins, cible, arret)) {
            std::fprintf(stderr, "export failed\n");
            std::exit(2);
        }
    };
    for (int tour = 0; tour < Tours; ++tour) {
        // To a new name: the export waits for no disk, nor does fwrite.
        std::filesystem::remove(reference);
        std::filesystem::remove(cible);
        fwriteSeul.push_back(Secondes([&] { EcrireDUnCoup(reference, texte, false); }));
        nouveau.push_back(Secondes(exporter));
        // Over an older file: the export puts the new one on disk first,
        // as fwrite then fsync does.
        fwriteSync.push_back(Secondes([&] { EcrireDUnCoup(reference, texte, true); }));
        exportation.push_back(Secondes(exporter));
        csv.push_back(Secondes([&] {
            if (!Exportation::Ecrire(Exportation::Format::Tableau, chemins, tableau, arret)) {
                std::fprintf(stderr, "export failed\n");
                std::exit(2);
            }
        }));
        identique = identique && std::filesystem::file_size(cible) == texte.size();
    }
    for (const std::string& f : {cible, reference, tableau})
        std::filesystem::remove(f);

    const double m = Mediane(exportation), s = Mediane(fwriteSync), w = Mediane(fwriteSeul), t = Mediane(csv);
    const double n = Mediane(nouveau);
    const bool atteint = identique && m <= Cible * s && n <= Cible * w;
    if (json)
        std::printf("{\"entries\": %zu, \"bytes\": %zu, \"export_new_m3u8_s\": %.4f, \"fwrite_s\": %.4f, "
                    "\"ratio_fwrite\": %.3f, \"export_m3u8_s\": %.4f, \"fwrite_fsync_s\": %.4f, "
                    "\"ratio_fsync\": %.3f, \"export_csv_s\": %.4f, \"target_met\": %s}\n",
                    nombre, texte.size(), n, w, n / w, m, s, m / s, t, atteint ? "true" : "false");
    else
        std::printf("%zu entries, %zu bytes\nexport M3U8 to a new name %.4f s; fwrite alone %.4f s (ratio %.3f)\n"
                    "export M3U8 over an older file %.4f s; fwrite + fsync %.4f s (ratio %.3f)\nexport CSV %.4f s\n"
                    "targets (<= %.1f x fwrite, <= %.1f x fwrite + fsync over an older file): %s\n",
                    nombre, texte.size(), n, w, n / w, m, s, m / s, t, Cible, Cible, atteint ? "met" : "missed");
    return atteint ? 0 : 1;
}
