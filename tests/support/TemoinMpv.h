#pragma once

// A video surface that shows nothing and keeps the player it was given, and
// reads of that player's own properties through the libmpv that Video
// loaded: a test can then wait for what the player itself has done (paused,
// tried a file and given it up) rather than for a guessed time.

#include "media/BibliothequeMpv.h"
#include "media/SurfaceVideo.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>

#include <dlfcn.h>

// Shows nothing and remembers what the player asked of it.
class SurfaceTemoin : public SurfaceVideo
{
public:
    bool RenduIntegre() const override { return false; }
    void Attacher(mpv_handle* lecteur, const BibliothequeMpv&, std::function<void()> pret) override
    {
        EXPECT_FALSE(Attachee) << "a new player came before the previous one was let go";
        Attachee = true;
        Lecteur = lecteur;
        pret();
    }
    void Detacher() override
    {
        Attachee = false;
        Lecteur = nullptr;
    }
    void Montrer(bool montrer) override { Visible = montrer; }

    bool Attachee = false;
    bool Visible = false;
    mpv_handle* Lecteur = nullptr; // the player attached, to ask it what it does
};

// Reads a property of the player straight from libmpv; false when there is
// no player, no libmpv loaded, or no such value now.
inline bool LireProprieteMpv(mpv_handle* lecteur, const char* nom, mpv_format format, void* valeur)
{
    static const auto lire = [] {
        void* module = dlopen(BibliothequeMpv::NomParDefaut, RTLD_NOW | RTLD_NOLOAD);
        return module ? reinterpret_cast<decltype(&::mpv_get_property)>(dlsym(module, "mpv_get_property")) : nullptr;
    }();
    return lecteur && lire && lire(lecteur, nom, format, valeur) >= 0;
}

inline bool DrapeauMpv(mpv_handle* lecteur, const char* nom)
{
    int drapeau = 0;
    return LireProprieteMpv(lecteur, nom, MPV_FORMAT_FLAG, &drapeau) && drapeau != 0;
}

inline std::optional<double> NombreMpv(mpv_handle* lecteur, const char* nom)
{
    double nombre = 0;
    if (!LireProprieteMpv(lecteur, nom, MPV_FORMAT_DOUBLE, &nombre))
        return std::nullopt;
    return nombre;
}

// The player has taken the file it was told to load and is idle again: it
// has played it to its end, or given it up.
inline bool LecteurRevenuAuRepos(mpv_handle* lecteur)
{
    std::int64_t fichiers = 0;
    return LireProprieteMpv(lecteur, "playlist-count", MPV_FORMAT_INT64, &fichiers) && fichiers > 0 &&
           DrapeauMpv(lecteur, "idle-active");
}
