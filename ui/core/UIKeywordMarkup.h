#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The one-line rich text a keyword label shows: <text font=".." clr=".."><p clr="..">run</p>...
// </text>, each run with its own font description and colour (the root's when it has none).

// Turns "plain {highlighted} plain" into markup: braced words red ("#ffff0000"), the rest in
// `colour`, all in `font`. Braces are dropped, empty runs skipped, and an unmatched "}" marks
// everything before it. Run texts are not escaped, so a run holding "<" or "&" gives markup that
// does not parse (and a label that shows nothing).
std::wstring BuildKeywordMarkup(const std::wstring& message,
                                const std::wstring& font,
                                const std::wstring& colour);

struct KeywordRun {
  std::wstring text;
  std::wstring font;    // font description
  uint32_t colour = 0;  // ARGB
};

// The runs of `markup` in order; false (and no runs) unless it parses with a root "text".
bool ParseKeywordMarkup(const std::wstring& markup, std::vector<KeywordRun>* runs);
