#include "MdNewVersion.h"

#include "WNewVersion.h"

namespace MdNewVersion {
void MdNewVersionOuvre() { WindowInstance<WNewVersion>().MOuvrir(); }
} // namespace MdNewVersion
