#include "channels/TableCells.h"

#include <cstring>

namespace jollix {

char* NextCell(const PageScan& scan, char* from, char** end, TagPair open, TagPair close) {
  char* cell = FindTag(scan, from, open);
  if (!cell) return nullptr;
  char* cell_end = FindTag(scan, cell, close);
  if (!cell_end) return nullptr;
  *end = PageScan::Cut(cell_end);
  return cell;
}

char* TextUpTo(const PageScan& scan, char* from, TagPair close, char** end) {
  char* text_end = FindTag(scan, from, close);
  if (!text_end) return nullptr;
  *end = PageScan::Cut(text_end);
  return from;
}

char* TextUpTo(const PageScan& scan, char* from, const char* close, char** end) {
  return TextUpTo(scan, from, TagPair{close, close}, end);
}

char* FindTag(const PageScan& scan, const char* from, TagPair tag) {
  return scan.Find(from, tag.first, tag.second);
}

char* QuotedLink(const PageScan& scan, char* from, char** end) {
  char* href = FindTag(scan, from, kHrefQuote);
  char* link = href ? PageScan::CutQuoted(href + std::strlen(kHrefQuote.first)) : nullptr;
  if (link) *end = link + std::strlen(link);
  return link;
}

char* LinkTextAfter(const PageScan& scan, char* from, const char* marker, size_t skip, char** end) {
  char* at = scan.Find(from, marker);
  char* gt = at ? scan.Find(scan.Skip(at, skip), ">") : nullptr;
  if (!gt) return nullptr;
  char* text_end = scan.FindEarlier(gt + 1, "</a>", "</A>");
  if (!text_end) return nullptr;
  *end = PageScan::Cut(text_end);
  return gt + 1;
}

}  // namespace jollix
