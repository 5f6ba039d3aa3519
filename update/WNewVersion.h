#pragma once
// The update window: fetches the author's version list, shows every application it names and
// says whether the running version is the one listed.
#include "Window.h"

#include <QString>

class HTTPSocket;
class ListeApplications;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;
class QTreeView;

class WNewVersion : public Window {
    Q_OBJECT
public:
    WNewVersion();

    QLabel* StaticText1;
    QLabel* ChApplic;
    QPushButton* BtPageTelech;
    QLabel* ChMess;
    QPushButton* BtNewEssai;
    QTimer* Timer1;
    QGroupBox* GroupBox1;
    QTreeView* LBApplic;
    ListeApplications* LBApplicLignes; // what LBApplic shows

    void MOuvrir();
    // One whole check. The window may be closed while it waits; the check then ends silently.
    void MContrlDerVersion();
    // Fills LBApplic from the reply; returns the listed long version of this application, or "".
    QString MTraitReponse(const QString& reponse);
    // The name part of a long version: all but its last blank-separated word.
    static QString MExtractLeNom(const QString& s);

protected:
    void Event_Open() override;
    void Event_Close() override;

private:
    void BtPageTelech_Action();
    void BtNewEssai_Action();
    void Timer1_Action();

    // The get of the newest check while it waits. A new menu choice may start a check inside another:
    // the newer one closes it.
    HTTPSocket* pendingGet_ = nullptr;
};
