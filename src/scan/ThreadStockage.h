#pragma once

// The store worker: files the directories queued by the scan worker.

#include "shared/Travailleur.h"

class Stockage;

class ThreadStockage : public Travailleur
{
public:
    explicit ThreadStockage(Stockage* cible); // starts at once
    ~ThreadStockage() override;

protected:
    void Execute() override;

private:
    Stockage* Cible;
};
