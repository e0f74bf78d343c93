// A worker that waits for work on a condition variable of its own: a pause
// and a stop reach it during the wait, and the work it waits for wakes it.

#include "shared/Travailleur.h"

#include "support/Attendre.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace {

// Waits until `pret` is set, as the store and tree workers wait for work.
class Attente : public Travailleur
{
public:
    Attente() { Demarrer(); }
    ~Attente() override { Arreter(); }

    void Donner()
    {
        {
            std::lock_guard verrou(mutex);
            pret = true;
        }
        cv.notify_all();
    }

protected:
    void Execute() override
    {
        for (;;) {
            std::unique_lock verrou(mutex);
            if (Attendre(verrou, cv, [this] { return pret; }))
                return;
            verrou.unlock();
            if (!PointDeControle())
                return;
        }
    }

private:
    std::mutex mutex;
    std::condition_variable_any cv;
    bool pret = false;
};

} // namespace

TEST(Travailleur, AWaitForWorkYieldsToPauseAndStopAndEndsWithTheWork)
{
    // Suspendre returns only once the work stands at its check point: a
    // wait that a pause did not cut short would hold it forever.
    Attente attente;
    attente.Suspendre();
    EXPECT_EQ(attente.NombrePauses(), 1u);
    EXPECT_FALSE(attente.Fini());
    attente.Reprendre();
    attente.Donner();
    ASSERT_TRUE(AttendreQue([&] { return attente.Fini(); }));
    EXPECT_TRUE(attente.Termine());

    // A stop during the wait ends the work without its condition.
    Attente arretee;
    arretee.Suspendre();
    arretee.Reprendre();
    arretee.Arreter();
    EXPECT_TRUE(arretee.Fini());
    EXPECT_FALSE(arretee.Termine());

    // Work given during a pause is taken after it.
    Attente donnee;
    donnee.Suspendre();
    donnee.Donner();
    EXPECT_FALSE(donnee.Fini());
    donnee.Reprendre();
    ASSERT_TRUE(AttendreQue([&] { return donnee.Fini(); }));
    EXPECT_TRUE(donnee.Termine());
}
