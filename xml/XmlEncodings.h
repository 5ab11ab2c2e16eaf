#pragma once

#include <cstddef>
#include <string>

// Encoding names: their code pages and where a document declares one.

// The document's own number for 32-bit code points, converted without the operating system.
constexpr int kCodePageUtf32 = 65005;

// 0 for an empty name (the default ANSI page); kCodePageUtf32 for a name beginning with exactly
// "UTF-32"; otherwise the code page the encoding-name table gives the name with ASCII letters
// lowered, or -1 when it has none (names of 100 characters and more have none).
int CodePageOfEncoding(const std::wstring& name);

// The encoding a text declares: the "encoding" of an "<?xml ...?>" at offset 0; failing that,
// for HTML (first start tag "html"), the charset of a "meta" with http-equiv "Content-Type"
// before the end tag "head". Empty when none is declared. Tag, attribute and http-equiv names
// of HTML compare ignoring ASCII letter case.
std::wstring FindDeclaredEncoding(const wchar_t* text, size_t length);
