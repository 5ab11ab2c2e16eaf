#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Escaping and unescaping of character references.

// Options of decoding; the same bits as the document flags that ask for them.
enum : uint32_t {
  kDecodeTrimWhitespace = 0x100,      // drop leading and trailing white space
  kDecodeCollapseWhitespace = 0x200,  // every inner run of white space becomes one space
};

// For element content "<", "&" and ">" become references; for attribute values also both
// quotes. With `keepReferences` an "&" that already begins a well-formed reference stays.
std::wstring EncodeXmlEntities(const wchar_t* text,
                               size_t length,
                               bool forAttribute,
                               bool keepReferences = false);

// Appends `text` with its references resolved. A reference is "&", at most nine characters
// and ";", read without regard to letter case; one that cannot be resolved (unknown name, zero,
// beyond U+10FFFF, a surrogate, no ";") leaves its "&" as it is. The white-space options work
// on the text as written, so white space written as a reference survives them.
void AppendDecodedXml(std::wstring* out, const wchar_t* text, size_t length, uint32_t options);

std::wstring DecodeXmlEntities(const wchar_t* text, size_t length, uint32_t options);

// The code point of the named reference `name` (without "&" and ";"), 0 when unknown. Letter
// case is ignored, except that of a name HTML defines in two cases (such as "Eacute" and
// "eacute") a name written all in lower case gets the lower-case form and any other spelling the
// upper-case one.
uint32_t LookupXmlEntity(const wchar_t* name, size_t length);
