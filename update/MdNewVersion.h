#pragma once

namespace MdNewVersion {
// The menu's update check: shows the update window (made on first use) and runs one check.
void MdNewVersionOuvre();
} // namespace MdNewVersion
