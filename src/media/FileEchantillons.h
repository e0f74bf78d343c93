#pragma once

// A bounded single-producer single-consumer queue of stereo float frames:
// the decoder thread writes, the mixer reads, neither locks. Emptied only
// while neither side runs.

#include <atomic>
#include <cstdint>
#include <memory>

class FileEchantillons
{
public:
    explicit FileEchantillons(int capaciteTrames);

    int Capacite() const { return capacite_; }
    // Frames waiting to be read.
    int Disponibles() const;
    // Producer: copies as many of the frames as fit; returns how many.
    int Ecrire(const float* trames, int nombre);
    // Consumer: adds up to nombre frames into sortie; returns how many.
    int Melanger(float* sortie, int nombre);
    // Forgets every frame. Only while no producer and no consumer run.
    void Vider();

private:
    const int capacite_;
    std::unique_ptr<float[]> donnees_; // capacite_ frames, two floats each
    std::atomic<std::uint64_t> ecrites_{0};
    std::atomic<std::uint64_t> lues_{0};
};
