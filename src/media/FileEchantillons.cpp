#include "media/FileEchantillons.h"

#include <algorithm>

FileEchantillons::FileEchantillons(int capaciteTrames)
    : capacite_(capaciteTrames), donnees_(new float[size_t(capaciteTrames) * 2]())
{}

int FileEchantillons::Disponibles() const
{
    return int(ecrites_.load(std::memory_order_acquire) - lues_.load(std::memory_order_acquire));
}

int FileEchantillons::Ecrire(const float* trames, int nombre)
{
    const std::uint64_t ecrites = ecrites_.load(std::memory_order_relaxed);
    const std::uint64_t lues = lues_.load(std::memory_order_acquire);
    const int libres = capacite_ - int(ecrites - lues);
    const int n = std::min(nombre, libres);
    for (int i = 0; i < n; ++i) {
        const size_t place = size_t((ecrites + std::uint64_t(i)) % std::uint64_t(capacite_)) * 2;
        donnees_[place] = trames[2 * i];
        donnees_[place + 1] = trames[2 * i + 1];
    }
    ecrites_.store(ecrites + std::uint64_t(n), std::memory_order_release);
    return n;
}

int FileEchantillons::Melanger(float* sortie, int nombre)
{
    const std::uint64_t lues = lues_.load(std::memory_order_relaxed);
    const std::uint64_t ecrites = ecrites_.load(std::memory_order_acquire);
    const int n = std::min(nombre, int(ecrites - lues));
    for (int i = 0; i < n; ++i) {
        const size_t place = size_t((lues + std::uint64_t(i)) % std::uint64_t(capacite_)) * 2;
        sortie[2 * i] += donnees_[place];
        sortie[2 * i + 1] += donnees_[place + 1];
    }
    lues_.store(lues + std::uint64_t(n), std::memory_order_release);
    return n;
}

void FileEchantillons::Vider()
{
    ecrites_.store(0, std::memory_order_relaxed);
    lues_.store(0, std::memory_order_relaxed);
}
