#pragma once

#include <cstdint>

// The maker's services, in one place. Every host lies under example.com, a domain reserved for
// documentation, so no build of this program ever reports to a real third party.

// The maker's web site.
inline constexpr wchar_t kMakerWebSite[] = L"https://www.quelm.example.com/";
// The feedback page: plain http, ending with "/", the query follows.
inline constexpr wchar_t kFeedbackPage[] = L"http://feedback.quelm.example.com/";
// The update service; the update library appends nothing, the program adds version and ids.
inline constexpr char kUpdateService[] = "https://update.quelm.example.com/?ct=api&ac=updatecheck";
// The statistics server of the usage heartbeat.
inline constexpr char kStatisticsHost[] = "stat.quelm.example.com";
inline constexpr uint16_t kStatisticsPort = 8700;

// The number the maker's services know this program by.
inline constexpr int kApplicationId = 105;
// The union id of a build no channel installed.
inline constexpr unsigned kDefaultUnionId = 1001;
