// Parse and walk throughput of XmlDocument against pugixml (wchar_t mode), both measured in this
// run on the same inputs, UTF-8 bytes that each side converts to UTF-16 itself:
//  - a task file of about 10 MiB of "item" elements in the task store's format, read from disk;
//  - a layout-like document of nested controls with many attributes, parsed from memory as the
//    layout builder and the menu loader get their text.
// Each figure is the best of several alternating runs; the ratio ours/pugixml is what counts.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "pugixml.hpp"
#include "xml/XmlDocument.h"

namespace {

std::string TaskFile(size_t targetBytes) {
  std::string out = "<cfg>\r\n";
  char item[1024];
  for (int i = 0; out.size() < targetBytes; ++i) {
    snprintf(item, sizeof(item),
             "<item>\r\n<guid>%08X-1A2B-4C5D-8E9F-%012X</guid>\r\n<modul>%d</modul>\r\n"
             "<tag>%d</tag>\r\n<date>2024/%02d/%02d %02d:%02d:00</date>\r\n<path></path>\r\n"
             "<name>\xE6\x8F\x90\xE9\x86\x92 %d &amp; more</name>\r\n"
             "<param1>C:\\Program Files\\App %d\\app.exe</param1>\r\n<param2></param2>\r\n"
             "<pause>%d</pause>\r\n</item>\r\n",
             i, i * 7, i % 5, i % 16, 1 + i % 12, 1 + i % 28, i % 24, i % 60, i, i, i % 2);
    out += item;
  }
  return out + "</cfg>\r\n";
}

std::string Layout(int panels) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Window size=\"800,552\" "
      "caption=\"0,0,0,36\" roundcorner=\"4,4\" mininfo=\"600,400\">\r\n"
      "<Font id=\"0\" name=\"Microsoft YaHei\" size=\"12\" default=\"true\"/>\r\n<VLayout>\r\n";
  char panel[2048];
  for (int i = 0; i < panels; ++i) {
    snprintf(
        panel, sizeof(panel),
        "  <HLayout name=\"row%d\" height=\"36\" padding=\"8,0,8,0\" bkcolor=\"#FFF5F5F5\">\r\n"
        "    <Label name=\"title%d\" text=\"\xE4\xBB\xBB\xE5\x8A\xA1 %d\" font=\"1\" "
        "textcolor=\"#FF333333\" align=\"left\" width=\"120\"/>\r\n"
        "    <Button name=\"ok%d\" text=\"&#30830;&#23450;\" width=\"80\" height=\"28\" "
        "normalimage=\"file='btn.png' source='0,0,80,28'\" "
        "hotimage=\"file='btn.png' source='0,28,80,56'\" cursor=\"hand\"/>\r\n"
        "    <Combo name=\"mode%d\" dropboxsize=\"0,160\" itemtextpadding=\"4,0,0,0\">\r\n"
        "      <ListLabelElement text=\"every day\" height=\"24\"/>\r\n"
        "      <ListLabelElement text=\"once\" height=\"24\"/>\r\n"
        "    </Combo>\r\n"
        "  </HLayout>\r\n",
        i, i, i, i, i);
    out += panel;
  }
  return out + "</VLayout>\r\n</Window>\r\n";
}

double Seconds(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Times {
  double ours = 0;
  double peer = 0;
};

Times operator+(Times a, Times b) {
  return Times{a.ours + b.ours, a.peer + b.peer};
}

void Print(const char* what, double megabytes, Times t) {
  printf("%-30s ours %8.2f ms (%6.1f MB/s)  pugixml %8.2f ms (%6.1f MB/s)  ours/pugixml %.2f\n",
         what, t.ours * 1e3, megabytes / t.ours, t.peer * 1e3, megabytes / t.peer, t.ours / t.peer);
}

// Best of several alternating runs of both, so that both see the same machine load.
Times Compare(const char* what,
              double megabytes,
              const std::function<void()>& ours,
              const std::function<void()>& peer) {
  Times best{1e30, 1e30};
  for (int i = 0; i < 7; ++i) {
    best.ours = std::min(best.ours, Seconds(ours));
    best.peer = std::min(best.peer, Seconds(peer));
  }
  Print(what, megabytes, best);
  return best;
}

std::wstring TempPath(const wchar_t* name) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  return std::wstring(dir) + name;
}

size_t WalkOurs(XmlDocument& doc) {
  size_t sum = 0;
  doc.ResetPos();
  if (!doc.FindElement(L"cfg") || !doc.EnterElement())
    return 0;
  while (doc.FindNextNode()) {
    doc.EnterElement();
    while (doc.FindNextNode())
      sum += doc.GetNodeName().size() + doc.GetContent().size();
    doc.LeaveElement();
  }
  return sum;
}

size_t WalkPeer(pugi::xml_document& doc) {
  size_t sum = 0;
  for (pugi::xml_node item : doc.child(L"cfg").children()) {
    for (pugi::xml_node field : item.children()) {
      std::wstring name = field.name();
      std::wstring content = field.child_value();
      sum += name.size() + content.size();
    }
  }
  return sum;
}

// Every element and attribute, as the layout builder reads them.
size_t WalkLayoutOurs(XmlDocument& doc) {
  size_t sum = 0;
  doc.ResetPos();
  int depth = 0;
  for (;;) {
    if (!doc.FindNextNode()) {
      if (depth == 0 || !doc.LeaveElement())
        break;
      --depth;
      continue;
    }
    sum += doc.GetNodeName().size();
    // A fresh string per attribute, as UIBuilder reads them and as the peer's walk below does;
    // assigning into one string kept across attributes is work the peer is not given.
    for (int i = 0;; ++i) {
      std::wstring name = doc.GetAttributeName(i);
      if (name.empty())
        break;
      sum += name.size() + doc.GetAttribute(name).size();
    }
    doc.EnterElement();
    ++depth;
  }
  return sum;
}

size_t WalkLayoutNode(const pugi::xml_node& node) {
  size_t sum = 0;
  for (pugi::xml_node child : node.children()) {
    if (child.type() != pugi::node_element)
      continue;
    std::wstring name = child.name();
    sum += name.size();
    for (pugi::xml_attribute a : child.attributes()) {
      std::wstring attributeName = a.name();
      std::wstring value = a.value();
      sum += attributeName.size() + value.size();
    }
    sum += WalkLayoutNode(child);
  }
  return sum;
}

}  // namespace

int wmain() {
  std::string tasks = TaskFile(10 * 1024 * 1024);
  std::wstring path = TempPath(L"quelm-xml-bench.xml");
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f || fwrite(tasks.data(), 1, tasks.size(), f) != tasks.size()) {
    fprintf(stderr, "cannot write %ls\n", path.c_str());
    return 1;
  }
  fclose(f);
  double taskMb = tasks.size() / 1048576.0;
  printf("task file: %.1f MiB of UTF-8\n", taskMb);

  size_t sumOurs = 0;
  size_t sumPeer = 0;
  Times taskLoad = Compare(
      "task file load+parse", taskMb,
      [&] {
        XmlDocument doc;
        if (!doc.LoadFile(path) || !doc.Parse())
          fprintf(stderr, "ours failed\n");
      },
      [&] {
        pugi::xml_document doc;
        if (!doc.load_file(path.c_str(), pugi::parse_default, pugi::encoding_utf8))
          fprintf(stderr, "pugixml failed\n");
      });
  XmlDocument ours;
  ours.LoadFile(path);
  ours.Parse();
  pugi::xml_document peer;
  peer.load_file(path.c_str(), pugi::parse_default, pugi::encoding_utf8);
  Times taskWalk = Compare(
      "task file walk", taskMb, [&] { sumOurs = WalkOurs(ours); },
      [&] { sumPeer = WalkPeer(peer); });
  Print("task file load+parse+walk", taskMb, taskLoad + taskWalk);
  if (sumOurs != sumPeer)
    printf("  (walks differ: %zu vs %zu characters)\n", sumOurs, sumPeer);
  DeleteFileW(path.c_str());

  std::string layout = Layout(400);
  double layoutMb = layout.size() / 1048576.0;
  printf("layout: %.1f KiB of UTF-8, converted to UTF-16 and parsed from memory\n",
         layout.size() / 1024.0);
  const int repeat = 20;
  Times layoutParse = Compare(
      "layout convert+parse (x20)", layoutMb * repeat,
      [&] {
        for (int i = 0; i < repeat; ++i) {
          XmlDocument doc;
          if (!doc.SetDocumentUtf8(layout))
            fprintf(stderr, "ours failed\n");
        }
      },
      [&] {
        for (int i = 0; i < repeat; ++i) {
          pugi::xml_document doc;
          if (!doc.load_buffer(layout.data(), layout.size(), pugi::parse_default,
                               pugi::encoding_utf8))
            fprintf(stderr, "pugixml failed\n");
        }
      });
  ours.SetDocumentUtf8(layout);
  peer.load_buffer(layout.data(), layout.size(), pugi::parse_default, pugi::encoding_utf8);
  Times layoutWalk = Compare(
      "layout attribute walk (x20)", layoutMb * repeat,
      [&] {
        for (int i = 0; i < repeat; ++i)
          sumOurs = WalkLayoutOurs(ours);
      },
      [&] {
        for (int i = 0; i < repeat; ++i)
          sumPeer = WalkLayoutNode(peer);
      });
  Print("layout parse+walk (x20)", layoutMb * repeat, layoutParse + layoutWalk);
  if (sumOurs != sumPeer)
    printf("  (walks differ: %zu vs %zu characters)\n", sumOurs, sumPeer);
  return 0;
}
