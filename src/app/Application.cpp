#include "app/Application.h"

#include "shared/ListeImages.h"
#include "widgets/TFormImage.h"
#include "ui/TFormPrincipal.h"
#include "ui/TFormPropos.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QSystemTrayIcon>

#include <exception>

struct Application::Fenetres
{
    std::unique_ptr<TFormPrincipal> Principal;
    std::unique_ptr<TFormImage> Image;
    std::unique_ptr<TFormPropos> Propos;

    ~Fenetres()
    {
        FormPropos = nullptr;
        FormImage = nullptr;
        FormPrincipal = nullptr;
    }
};

Application::Application() = default;

Application::~Application()
{
    // Workers of an unfinished scan and fill jobs end before the managers they use.
    Previsu.SuspendreRemplissages();
    Bouton.TerminerTravailleurs();
}

void Application::CreerFenetres()
{
    // The windows outlive the managers: they are released last.
    auto fenetres = std::make_unique<Fenetres>();
    fenetres->Principal = std::make_unique<TFormPrincipal>();
    FormPrincipal = fenetres->Principal.get();
    fenetres->Image = std::make_unique<TFormImage>();
    FormImage = fenetres->Image.get();
    fenetres->Propos = std::make_unique<TFormPropos>(FormPrincipal);
    FormPropos = fenetres->Propos.get();
    fenetres_ = std::move(fenetres);
}

void Application::Relier()
{
    TFormPrincipal* f = FormPrincipal;
    f->Lier(&Menu);
    f->Lier(&BarreSystem);
    f->Lier(&Barre);
    f->Lier(&Bouton);
    f->Lier(&Stock);
    f->Lier(&Previsu);
    f->Lier(&Arbres);

    BarreSystem.Lier(&Bouton);
    BarreSystem.Lier(&Previsu);
    BarreSystem.Lier(&Options);

    Bouton.Lier(&Barre);
    Bouton.Lier(&Arbres);
    Bouton.Lier(&Stock);
    Bouton.Lier(&Scan);
    Bouton.Lier(&Previsu);
    Bouton.Lier(&Extensions);

    Options.Lier(&Arbres);

    Arbres.Lier(&Options);
    Arbres.Lier(&Barre);
    Arbres.Lier(&Menu);

    Menu.Lier(&Arbres);

    Stock.Lier(&Explo);
    Stock.Lier(&Extensions);
    Stock.Lier(&Bouton);
    Stock.Lier(&Arbres);

    Previsu.Lier(&Stock);

    Scan.Lier(&Stock);
    Scan.Lier(&Explo);

    Explo.Lier(&Options);

    Extensions.Lier(&Stock);
}

void Application::Preparer()
{
    QApplication::setApplicationName("Ruvizaro");
    QApplication::setApplicationDisplayName("Ruvizaro");
    QApplication::setApplicationVersion("1.0");
    CreerFenetres();
    Relier();
    Extensions.Remplir(*FormPrincipal->ImageListExt);
    Options.Charger();
}

int Application::Boucle()
{
    // Centred on the screen when first shown.
    if (const QScreen* ecran = FormPrincipal->screen()) {
        const QRect zone = ecran->availableGeometry();
        FormPrincipal->move(zone.x() + (zone.width() - FormPrincipal->width()) / 2,
                            zone.y() + (zone.height() - FormPrincipal->height()) / 2);
    }
    FormPrincipal->show();
    // Shown even before a tray is known: it joins one that starts later.
    FormPrincipal->TrayIcon->show();
    return QApplication::exec();
}

void Application::AfficherErreur(const QString& message)
{
    QMessageBox boite(QMessageBox::Critical, "Ruvizaro", message, QMessageBox::Ok);
    boite.exec();
}

int Application::Executer(const AfficheurErreur& afficher)
{
    QString message;
    try {
        Application application;
        application.Preparer();
        application.Boucle();
        return 0;
    } catch (const std::exception& erreur) {
        message = QString::fromUtf8(erreur.what());
    } catch (...) {
        message.clear();
    }
    // The managers already built are destroyed before the message shows.
    afficher(message);
    return 0;
}
