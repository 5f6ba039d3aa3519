#pragma once
// Resource ids of the game's pictures. Each one is stored as ":/pictures/<id>.kpic", packed
// at build time from resources/pictures/<id>.png.
// Token and mask names cross colours: the ...Bleu... pictures show the red side and the
// ...Rouge... pictures the blue side.

constexpr int kFondQuatre4b = 168;    // background 0, "Bois 1"
constexpr int kPokerRougeFond = 169;  // mask of kPokerRouge
constexpr int kPokerBleu = 170;       // theme 1 token, red side
constexpr int kPokerBleuFond = 171;   // mask of kPokerBleu
constexpr int kFondCinq = 172;        // background 1, "Bois 2"
constexpr int kPokerRouge = 173;      // theme 1 token, blue side
constexpr int kVlekRougeFond = 174;   // mask of kVlekRouge
constexpr int kVlekRouge = 175;       // theme 0 token, blue side
constexpr int kVlekBleuFond = 176;    // mask of kVlekBleu
constexpr int kVlekBleu = 177;        // theme 0 token, red side
constexpr int kHamster = 178;         // about window mascot
constexpr int kFondSix = 179;         // background 2, "Métal"
constexpr int kFondSept = 180;        // background 3, "Fusion"
constexpr int kPoker2RougeFond = 181; // mask of kPoker2Rouge
constexpr int kPoker2Bleu = 182;      // theme 2 token, red side
constexpr int kPoker2Rouge = 183;     // theme 2 token, blue side
constexpr int kPoker2BleuFond = 184;  // mask of kPoker2Bleu

constexpr int kFirstPictureId = kFondQuatre4b;
constexpr int kLastPictureId = kPoker2BleuFond;

// Resource path prefix; the file name is the id followed by ".kpic".
constexpr const char kPicturePrefix[] = ":/pictures/";
