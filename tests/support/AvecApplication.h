#pragma once

// A test that runs on the real program: temporary settings, the real
// start-up, the main window shown offscreen.

#include "app/Application.h"
#include "ui/TFormPrincipal.h"

#include "support/Composants.h"
#include "support/ConfigTemporaire.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

class AvecApplication : public ::testing::Test
{
protected:
    void SetUp() override
    {
        config_ = std::make_unique<ConfigTemporaire>();
        Demarrer();
    }
    void TearDown() override
    {
        c.reset();
        application_.reset();
        config_.reset();
    }
    // Starts the program (again), on the same settings file.
    void Demarrer()
    {
        c.reset();
        application_.reset();
        application_ = std::make_unique<Application>();
        application_->Preparer();
        f = &application_->Fenetre();
        c = std::make_unique<Composants>(*application_);
        f->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(f));
    }

    std::unique_ptr<ConfigTemporaire> config_;
    std::unique_ptr<Application> application_;
    TFormPrincipal* f = nullptr;
    std::unique_ptr<Composants> c;
};
