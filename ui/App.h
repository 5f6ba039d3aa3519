#pragma once
// The application object: makes the theme icons and loads the preferences when it opens,
// saves them when it closes, and answers the about item.
#include "Application.h"
#include "Picture.h"

class App : public Application {
    Q_OBJECT
public:
    PictureRef MenuVlek;
    PictureRef MenuPoker;
    PictureRef MenuPoker2;
    bool _MnAPropos_Action();

protected:
    void Event_Open() override;
    void Event_Close() override;
};

// The running application object (never creates one).
App& AppInstance();
