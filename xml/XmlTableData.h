#pragma once

// The two constant hash tables of the XML reader, generated from xml/tables/ by
// scripts/gen-xml-tables. A bucket is one string of concatenated entries; the bucket of a name
// is the sum of its lower-case code units modulo the bucket count.

// Entry: two digits of name length, five digits of code page, the lower-case name.
constexpr int kEncodingBucketCount = 155;
extern const wchar_t* const kEncodingBuckets[kEncodingBucketCount];

// Entry: one digit of name length, four digits of code point, the lower-case name. A name that
// exists in two letter cases has two entries, the form with capitals first.
constexpr int kEntityBucketCount = 130;
extern const wchar_t* const kEntityBuckets[kEntityBucketCount];
