#pragma once

namespace wendrel {

// The maker's key under which the settings are kept: the registry key on
// Windows, the folder under the configuration home on Linux.
inline constexpr const char* kCompanyKey = "Tavrin Screen Savers";
// Where the one setting lives in it.
inline constexpr const char* kSettingsSection = "LEAF";
inline constexpr const char* kNoDirectEntry = "NoDirect";
// The maker's home page: a bare host name, handed to the web browser as is.
inline constexpr const char* kHomePageAddress = "www.tavrin.example";

}  // namespace wendrel
