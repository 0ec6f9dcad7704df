#pragma once

#include <QString>
#include <filesystem>

namespace kw27 {

// Resolves a data file name as the programs spell it ("Data\Data2\C.wav") against the current
// working directory at the moment of the call. Components are separated by '\' (a '/' is
// accepted too) and each is matched against the directory entries without regard to ASCII
// letter case; an exact match wins over a case-insensitive one. When a component has no match
// the remaining components are appended as written, so the returned path simply does not
// exist and opening it fails. An absolute name ("\Data\..." or "/...") starts at the root.
std::filesystem::path resolveDataPath(const QString& name);

} // namespace kw27
