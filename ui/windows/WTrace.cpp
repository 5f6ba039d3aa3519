#include "WTrace.h"

#include "FenetreFixe.h"
#include "WKestrova.h"

#include <QCheckBox>

WTrace::WTrace() {
    SetTitle(QStringLiteral("Trace"));
    FenetreFixe(*this, 529, 450, true);

    ChTrace = new ChampTexte(Content());
    ChTrace->setObjectName(QStringLiteral("ChTrace"));
    ChTrace->setGeometry(20, 14, 489, 416);
    ChTrace->setReadOnly(true);
}

void WTrace::Event_Open() { Show(); }

void WTrace::Event_Close() {
    // At shut-down the main window may be gone already; there is then nothing to untick.
    WKestrova* main = ExistingWindow<WKestrova>();
    if (!main) return;
    // Unticking may call back into a close of this window, which is already closing and so
    // ignores it.
    if (main->BtTest) main->BtTest->setChecked(false);
    if (main->PWTrace == this) main->PWTrace = nullptr;
}
