#pragma once

#include <string>

// Web addresses of the open-address action. A stored address is one piece of a "|"-joined
// list, and it is handed to the shell, which would just as well run a program or a script: so
// only web addresses are let through. Pure text functions; any thread.

// `typed` with every "|" written as "%7C", so that joining addresses with "|" cannot split one
// address into two.
std::wstring EscapeListSeparator(const std::wstring& typed);

// What to open for `piece`: the piece itself when it begins with "http://", "https://" or
// "ftp://" (the scheme in any letter case); "http://" + the piece when it has no scheme and starts
// with a host name, as a browser's address bar would read it; "" (refused) for anything else.
//
// "Starts with a host name" means: the text up to the first "/", "?" or "#" (or the end) is
// a host of two or more dot-separated labels of letters, digits and hyphens (any character
// beyond ASCII counts as a letter), no label empty or beginning or ending with a hyphen,
// optionally followed by ":" and a port of digits. So "www.x.com/a" and "x.cn:8080" open, and
// "calc", "C:\x.bat", "\\host\share\x.bat", "file:///C:/x" and "javascript:x" do not.
std::wstring AddressToOpen(const std::wstring& piece);
