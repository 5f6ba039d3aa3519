#include "Demarrage.h"

#include "App.h"
#include "FichierPreference.h"
#include "MenuBar1.h"
#include "PictureItems.h"
#include "WKestrova.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace {
std::unique_ptr<App> application;
std::unique_ptr<QTranslator> traductionQt;
} // namespace

void LanceApplication() {
    // Qt's own texts (a field's context menu, a message box's buttons) in French like the game's.
    traductionQt = std::make_unique<QTranslator>();
    if (traductionQt->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(traductionQt.get());
    application = std::make_unique<App>();
    application->SetMenuBar(&MenuBar1Instance());
    application->AddMenuHandler(QStringLiteral("MnAPropos"),
                                [] { return AppInstance()._MnAPropos_Action(); });
    // The application opens first: the main window reads the preferences it loads.
    application->RaiseOpen();
    WindowInstance<WKestrova>().Show();
}

void TermineApplication() {
    if (application) application->RaiseClose();
    ReleasePictureItems();
    Window::DestroyAll();
    ReleaseMenuBar1();
    FichierPreference::mPrefLibere();
    application.reset();
    traductionQt.reset();
}

int KestrovaMain(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrova"));
    int status = 0;
    try {
        LanceApplication();
        status = QApplication::exec();
    } catch (const std::exception& e) {
        qCritical("Erreur inattendue : %s", e.what());
        status = 1;
    }
    TermineApplication();
    return status;
}
