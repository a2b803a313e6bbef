// File-type icons of the document and music rows.
//
// The installation keeps empty placeholder files "index/virtualfile.<type>" (and
// "index/virtualfile.unknowextend") whose shell icons stand for the types; the path is relative
// to the installation folder, the program's current folder.
#pragma once

#include <string>

#include "common/IconList.h"

namespace jollix {

// Lower-cases the ASCII capitals of text in place, byte by byte.
void LowerCaseInPlace(char* text);

// The placeholder of a type (GBK): "index/virtualfile.<type>" when that file exists, else the
// unknown-type placeholder. A type that is empty or holds a "/" is an unknown type.
std::string TypePlaceholderPath(const char* type);

// Appends the icon of the type's placeholder to icons and returns its index.
int AddTypeIcon(IconList& icons, const char* type);

}  // namespace jollix
