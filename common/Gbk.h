// Text conversion at the edges of the system. Inside, every string is GBK bytes.
//
// The conversions use GB18030, GBK's superset: every GBK character has the same bytes in both,
// and GB18030 covers all of Unicode, so a valid UTF-8 file name always converts and converts
// back to the same bytes. A name that is not valid UTF-8 keeps its raw bytes both ways, so no
// file is ever dropped from an index because of its name.
#pragma once

#include <string>
#include <string_view>

namespace jollix {

// UTF-8 to GBK. Returns false (and leaves *out empty) when the input is not valid UTF-8.
bool Utf8ToGbk(std::string_view utf8, std::string* out);
// GBK to UTF-8. Returns false (and leaves *out empty) when the input is not valid GBK.
bool GbkToUtf8(std::string_view gbk, std::string* out);

// GBK to UTF-8 through a table built once per process (from iconv, so it gives iconv's bytes):
// appends the UTF-8 form of gbk to *out and returns true when every byte is ASCII or one of the
// two-byte GBK characters (lead 0x81-0xFE, trail 0x40-0x7E or 0x80-0xFE); returns false, with
// *out unspecified past its old size, for anything else (a lone or cut byte, a four-byte
// GB18030 sequence), which the iconv path converts. GbkToUtf8 and GbkToUtf8Lossy try it first:
// a result list converts a name per row, and an iconv call per row cost more than the search.
// Thread-safe; allocates only when *out must grow.
bool AppendGbkToUtf8ByTable(std::string_view gbk, std::string* out);
// Appends the lossy UTF-8 form of gbk (as GbkToUtf8Lossy) to *out, reusing its storage.
void AppendGbkToUtf8Lossy(std::string_view gbk, std::string* out);

// Lenient forms for display: a byte sequence that does not convert is replaced by '?'.
std::string Utf8ToGbkLossy(std::string_view utf8);
std::string GbkToUtf8Lossy(std::string_view gbk);

// A file name (or path) as the file system spells it, to its GBK form in the records.
std::string FileNameToGbk(std::string_view disk_name);
// A GBK name from the records back to the bytes that name the file on disk.
std::string FileNameFromGbk(std::string_view gbk_name);
// The disk path of a GBK path from the records: its converted form, or its raw bytes when only
// those name an existing file (a name kept raw because it was not UTF-8 on disk).
std::string DiskPathFromGbk(std::string_view gbk_path);
// Whether a GBK path from the records names an existing entry (a symbolic link counts as
// itself), in one lstat when its converted spelling exists; *disk_path receives the spelling
// that names it, as DiskPathFromGbk gives.
bool ExistingDiskPath(std::string_view gbk_path, std::string* disk_path);

}  // namespace jollix
