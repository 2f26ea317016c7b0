#pragma once

namespace tallyglass {

// The maker's web site, set at configure time (TALLYGLASS_SITE). Its root is the home page
// that the About window opens; the start-up's bulletin page lies beneath it.
inline constexpr const char* kMakerSite = TALLYGLASS_SITE;
inline constexpr const char* kBulletinPagePath = "/bulletin.php";

} // namespace tallyglass
