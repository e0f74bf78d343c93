#pragma once

// Something the mixer plays: a decoded stream or a rendered MIDI song. The
// mixer calls Melanger on its own thread for every block while the source
// is attached; everything else runs on the user-interface thread.

class SourceAudio
{
public:
    virtual ~SourceAudio() = default;

    // Adds up to trames stereo frames (interleaved float, 44100 Hz) into
    // sortie. Mixer thread only: no allocation, no blocking.
    virtual void Melanger(float* sortie, int trames) = 0;
};
