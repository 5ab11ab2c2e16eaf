#pragma once

#include <string>

class XmlDocument;

// Walks every node of a document in document order with FindNextNode(kNodeAny),
// EnterElement and LeaveElement, without recursion, reading every name, content and attribute
// on the way. Returns one line per node ("depth type name = content [attributes]"), which two
// documents with the same structure share. Stops after `maxSteps` moves so that a faulty cursor
// cannot hang a test; `*finished` tells whether the walk came back to the top level and ended.
std::wstring WalkDocument(XmlDocument& doc, size_t maxSteps, bool* finished);

// WalkDocument on a fresh document parsed from `text`, with the same flags.
std::wstring WalkText(const std::wstring& text, unsigned flags = 0);
