#include "PictureItems.h"

#include "KestrovaPictures.h"
#include "PictureIds.h"

#include <QImage>
#include <array>

namespace {
std::array<PictureRef, kLastPictureId - kFirstPictureId + 1> cachedPictures;

PictureRef Item(int id) {
    PictureRef& slot = cachedPictures[id - kFirstPictureId];
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

PictureRef FondQuatre4b() { return Item(kFondQuatre4b); }
PictureRef PokerRougeFond() { return Item(kPokerRougeFond); }
PictureRef PokerBleu() { return Item(kPokerBleu); }
PictureRef PokerBleuFond() { return Item(kPokerBleuFond); }
PictureRef FondCinq() { return Item(kFondCinq); }
PictureRef PokerRouge() { return Item(kPokerRouge); }
PictureRef VlekRougeFond() { return Item(kVlekRougeFond); }
PictureRef VlekRouge() { return Item(kVlekRouge); }
PictureRef VlekBleuFond() { return Item(kVlekBleuFond); }
PictureRef VlekBleu() { return Item(kVlekBleu); }
PictureRef Hamster() { return Item(kHamster); }
PictureRef FondSix() { return Item(kFondSix); }
PictureRef FondSept() { return Item(kFondSept); }
PictureRef Poker2RougeFond() { return Item(kPoker2RougeFond); }
PictureRef Poker2Bleu() { return Item(kPoker2Bleu); }
PictureRef Poker2Rouge() { return Item(kPoker2Rouge); }
PictureRef Poker2BleuFond() { return Item(kPoker2BleuFond); }

void ReleaseUnusedPixels() {
    for (auto& slot : cachedPictures)
        if (slot && slot.use_count() == 1) slot->ReleasePixels();
}

void ReleasePictureItems() {
    for (auto& slot : cachedPictures) slot.reset();
}
