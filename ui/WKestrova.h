#pragma once
// The game's window: owns the board, turns clicks into moves, keeps whose turn it is, answers
// with the computer in solo mode, draws the board and drives the secondary windows.
#include "Picture.h"
#include "UnPlateau.h"
#include "Window.h"

#include <array>
#include <memory>

class QCheckBox;
class MenuItem;
class WTrace;
class WindowEnginePlatform;

class WKestrova : public Window {
    Q_OBJECT
    // Beep, ticks and message boxes for the board; declared before the board, which uses it.
    std::unique_ptr<WindowEnginePlatform> enginePlatform_;

public:
    WKestrova();
    ~WKestrova() override;

    // Board and its event handlers.
    UnPlateau PPlateau;
    void PPlateau_MDessinePlateau();
    void PPlateau_MDessineLaCase(std::int32_t column, std::int32_t row);
    void PPlateau_MGagnant(bool rouge, bool bleu);
    void PPlateau_MEgalite();
    void PPlateau_MCaseAJouer(UneCase& cell);

    QCheckBox* BtTest = nullptr;
    void BtTest_Action();

    // Menu items, looked up in the menu bar by name (and index).
    MenuItem* MNFondBase();
    MenuItem* MNFond(int index);
    MenuItem* MNPionBase();
    MenuItem* MNPion(int index);
    MenuItem* MNNiveau();
    MenuItem* MnFort();
    MenuItem* MnMoyen();
    MenuItem* MnFaible();
    MenuItem* FileMenu();
    MenuItem* FileQuit();
    MenuItem* UntitledSeparator();
    MenuItem* MnJournal();
    MenuItem* UntitledSeparator2();
    MenuItem* MnAgrandProp();
    MenuItem* UntitledSeparator1();
    MenuItem* MnDuo();
    MenuItem* MnSolo();
    MenuItem* UntitledSeparator0();
    MenuItem* MnVersion();
    MenuItem* MnAPropos();
    MenuItem* MNNewPartie();
    void AddMenuHandlers();

    // Menu handlers.
    bool _MNNewPartie_Action();
    bool _MnFaible_Action();
    bool _MnMoyen_Action();
    bool _MnFort_Action();
    bool _MnSolo_Action();
    bool _MnDuo_Action();
    bool _MnJournal_Action();
    bool _MNFond_Action(int index);
    bool _MnVersion_Action();
    bool _MnAgrandProp_Action();
    bool _MNPion_Action(int index);

    // Drawing.
    void MDessinePlateau(Graphics g);
    void MDessin(Graphics g);
    void MDessinePionSurPlateau(Graphics g, std::int32_t column, std::int32_t row);
    void MDessinePionSurImage(std::int32_t column, std::int32_t row);
    void mPrepareLesPions(std::int32_t w, std::int32_t h);

    // Game.
    void MInitialisePlateau();
    void MDisplayCouleur();
    void MAutomateSuivant();
    void mJournal();

    // Themes and backgrounds.
    void mDisplayCouleurPrep();
    void mChoixImagePion(std::int32_t n);
    void mChoixLeFond(std::int32_t n);
    void mPrepMiniFond();

    // Turn and mode.
    bool TopDemarreRouge = false;
    bool TopAJouerRouge = false;
    bool TopAJouerBleu = true;
    QPointer<WTrace> PWTrace;
    bool PSolo = true;
    bool PJournal = false;
    bool TopFinPartie = false;
    std::int32_t PTicks = 0;
    bool PTopRetailProp = true;

    // Drawing state.
    std::int32_t PLarg = 0;
    std::int32_t PHaut = 0;
    bool PBlocage = false;
    PictureRef PFond;
    PictureRef PPionRouge;
    PictureRef PPionBleu;
    std::int32_t PDecalFondX = 0;
    std::int32_t PDecalFondY = 0;
    PictureRef PFondPlateau;
    std::int32_t PRetraitFondX = 0;
    double PLargFl = 0.0;
    double PHautFl = 0.0;
    std::int32_t PRetrait2xFondX = 0;
    std::int32_t PRetrait2xFondY = 0;
    PictureRef PFondCourant;

    // Theme state.
    PictureRef PCoulBleu;
    PictureRef PCoulRouge;
    PictureRef Bleu;
    PictureRef Rouge;
    PictureRef BleuFond;
    PictureRef RougeFond;
    std::int32_t PTopChoixPion = 0;
    std::int32_t PNoDeFond = 0;
    std::array<PictureRef, 10> PFondDemo;

protected:
    void Event_Open() override;
    void Event_Close() override;
    void Event_Resizing() override;
    void Event_Resized() override;
    void Event_EnableMenuItems() override;
    bool Event_MouseDown(int x, int y) override;
    void Event_MouseUp(int x, int y) override;
    void Event_Paint(Graphics& g) override;
};
