#pragma once

// A binary lock (count 1, maximum 1) guarding a waiting list.

#include <semaphore>

class Semaphore
{
public:
    void Attendre() { semaphore_.acquire(); }
    void Liberer() { semaphore_.release(); }

private:
    std::binary_semaphore semaphore_{1};
};
