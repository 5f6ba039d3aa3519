#include "PictureItems.h"

#include "KestrovaPictures.h"

#include <QImage>
#include <array>

namespace {
constexpr int kFirstId = 168;
constexpr int kLastId = 184;
std::array<PictureRef, kLastId - kFirstId + 1> cachedPictures;

PictureRef Item(int id) {
    PictureRef& slot = cachedPictures[id - kFirstId];
    if (!slot) slot = GetPictureResource(id);
    return slot;
}
} // namespace

PictureRef GetPictureResource(int id) {
    // The pictures live in a static library: registering them here keeps the linker from dropping them.
    static const bool registered = (InitKestrovaPictures(), true);
    (void)registered;
    QImage image = ReadPicture(id);
    if (image.isNull()) return nullptr;
    return std::make_shared<Picture>(std::move(image), [id] { return ReadPicture(id); });
}

PictureRef FondQuatre4b() { return Item(168); }
PictureRef PokerRougeFond() { return Item(169); }
PictureRef PokerBleu() { return Item(170); }
PictureRef PokerBleuFond() { return Item(171); }
PictureRef FondCinq() { return Item(172); }
PictureRef PokerRouge() { return Item(173); }
PictureRef VlekRougeFond() { return Item(174); }
PictureRef VlekRouge() { return Item(175); }
PictureRef VlekBleuFond() { return Item(176); }
PictureRef VlekBleu() { return Item(177); }
PictureRef Hamster() { return Item(178); }
PictureRef FondSix() { return Item(179); }
PictureRef FondSept() { return Item(180); }
PictureRef Poker2RougeFond() { return Item(181); }
PictureRef Poker2Bleu() { return Item(182); }
PictureRef Poker2Rouge() { return Item(183); }
PictureRef Poker2BleuFond() { return Item(184); }

void ReleaseUnusedPixels() {
    for (auto& slot : cachedPictures)
        if (slot && slot.use_count() == 1) slot->ReleasePixels();
}

void ReleasePictureItems() {
    for (auto& slot : cachedPictures) slot.reset();
}
