#pragma once

// The priority of the program's background threads. Work that runs beside
// the window (a scan's walk, reading ahead, filing and tree building; a
// picture's decode; a sound's probing) yields to the window's thread when
// the cores are busy, so that the window answers first.

class PrioriteFil
{
public:
    // How far above the window's thread's nice value the background work runs.
    static constexpr int Gentillesse = 5;

    // Raises the calling thread's nice value by Gentillesse. Linux keeps a
    // nice value per thread and the threads it starts inherit it; failing to
    // raise it costs nothing, so a failure is ignored.
    static void CederALaFenetre();
};
