#pragma once
// The seventeen pictures of the application's resources, each loaded on first use and kept for
// the life of the process. A missing picture gives nullptr and is asked for again next time.
// The pixels of a picture nothing else holds can be let go; the picture reads them again when
// next drawn.
#include "Picture.h"

PictureRef GetPictureResource(int id);

PictureRef FondQuatre4b();    // 168
PictureRef PokerRougeFond();  // 169
PictureRef PokerBleu();       // 170
PictureRef PokerBleuFond();   // 171
PictureRef FondCinq();        // 172
PictureRef PokerRouge();      // 173
PictureRef VlekRougeFond();   // 174
PictureRef VlekRouge();       // 175
PictureRef VlekBleuFond();    // 176
PictureRef VlekBleu();        // 177
PictureRef Hamster();         // 178
PictureRef FondSix();         // 179
PictureRef FondSept();        // 180
PictureRef Poker2RougeFond(); // 181
PictureRef Poker2Bleu();      // 182
PictureRef Poker2Rouge();     // 183
PictureRef Poker2BleuFond();  // 184

// Lets go of the pixels of every cached picture that nothing but this cache holds.
void ReleaseUnusedPixels();

// Releases the cached pictures, in the order of their ids.
void ReleasePictureItems();
