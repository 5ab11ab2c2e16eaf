#pragma once

#include <string>

#include "app/Identity.h"

// The query-text encoding of the maker's pages: ASCII letters, digits and "-_.~" stay, a space
// becomes "+", every other byte "%XX" with upper-case hexadecimal digits.
std::string UrlEncode(const std::string& bytes);

// The feedback page with the product title, version, application id, union id and `osText`,
// the two texts UTF-8 and URL-encoded.
std::wstring BuildFeedbackUrl(const Identity& identity, const std::wstring& osText);
// BuildFeedbackUrl for this process: AppIdentity() and GetOsVersionText(). The menu entry
// "反馈问题" opens it with the shell.
std::wstring BuildFeedbackUrl();
