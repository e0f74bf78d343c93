#include "shared/AppelDiffere.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

// Calls handed from worker threads to this thread, each carrying what it
// needs in a shared block. A call often runs before its worker has left the
// posting, so either thread may free the block: every call arrives, once,
// in order, with its own data, and ThreadSanitizer sees no race.
TEST(AppelDiffere, CallsArriveInOrderWithWhatTheyCarry)
{
    constexpr int Travailleurs = 1000;
    constexpr int Appels = 10;
    QObject cible;
    std::vector<int> recus;
    for (int t = 0; t < Travailleurs; ++t) {
        std::atomic<bool> poste{false};
        std::thread travailleur([&, t] {
            for (int a = 0; a < Appels; ++a) {
                auto bloc = std::make_shared<std::vector<int>>(64, t * Appels + a);
                AppelDiffere(&cible, [bloc, &recus] { recus.push_back(bloc->back()); });
            }
            poste = true;
        });
        while (!poste.load())
            QCoreApplication::processEvents();
        travailleur.join();
        QCoreApplication::processEvents();
    }
    ASSERT_EQ(recus.size(), size_t(Travailleurs * Appels));
    for (int i = 0; i < Travailleurs * Appels; ++i)
        ASSERT_EQ(recus[i], i);
}
