#pragma once
// The web pages the program offers to open. They are opened in the user's browser, never fetched
// by the program. The maker's own pages are kept under its site's name here; change them in one
// place.
namespace shell::web {

// The on-line shop's page that takes a donation for the maker, in units of one US dollar.
inline constexpr const char* kDonationShop = "https://shop.varnholt.example/donate?product=tallomere&unit=1USD";
// The links section of the product's page on the maker's site.
inline constexpr const char* kMakerLinks = "https://www.varnholt.example/tallomere/#links";

// Public health-information sites of the Useful Links window.
inline constexpr const char* kMedicare = "https://www.medicare.gov/";
inline constexpr const char* kMedlinePlus = "https://medlineplus.gov/";
inline constexpr const char* kNihConsumer = "https://www.nih.gov/health-information";
inline constexpr const char* kPediatrics = "https://www.aap.org/";
inline constexpr const char* kSeniorsHealth = "https://medlineplus.gov/olderadulthealth.html";
inline constexpr const char* kAdultHealth = "https://www.acponline.org/";
inline constexpr const char* kSearchEngine = "https://www.google.com/";

}  // namespace shell::web
