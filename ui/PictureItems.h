#pragma once
// The seventeen pictures of the application's resources, each loaded on first use and kept for
// the life of the process. A missing picture gives nullptr and is asked for again next time.
// The pixels of a picture nothing else holds can be let go; the picture reads them again when
// next drawn.
#include "Picture.h"

PictureRef GetPictureResource(int id);

// In the order of their ids (PictureIds.h).
PictureRef FondQuatre4b();
PictureRef PokerRougeFond();
PictureRef PokerBleu();
PictureRef PokerBleuFond();
PictureRef FondCinq();
PictureRef PokerRouge();
PictureRef VlekRougeFond();
PictureRef VlekRouge();
PictureRef VlekBleuFond();
PictureRef VlekBleu();
PictureRef Hamster();
PictureRef FondSix();
PictureRef FondSept();
PictureRef Poker2RougeFond();
PictureRef Poker2Bleu();
PictureRef Poker2Rouge();
PictureRef Poker2BleuFond();

// Lets go of the pixels of every cached picture that nothing but this cache holds.
void ReleaseUnusedPixels();

// Releases the cached pictures, in the order of their ids.
void ReleasePictureItems();
