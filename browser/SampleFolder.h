// Sample folders of CD-ROM discs: the line-numbered index files CD.SRC (disc signatures) and DR.SRC (folder
// paths of one disc), and the CDnnnn\Lmmmm folder they lead to under the sample root.
#pragma once

#include <functional>
#include <string>

namespace fovea {

// The 0-based number of the first line of file equal to text (exact comparison; a line ends at LF, a CR before
// it is not part of the line); -1 when no line matches or the file cannot be read.
int FindLine(const std::string& file, const std::string& text);

// Appends text and a CR LF line end to file, creating it when missing; returns FindLine(file, text), so an
// entry already present keeps its first number. -1 when the file can be neither opened nor created.
int AppendLine(const std::string& file, const std::string& text);

// The folder key of a path in DR.SRC: the path without its drive letter and colon ("Q:\PHOTOS" -> "\PHOTOS";
// the disc root "Q:" gives an empty key).
std::string FolderKeyOfPath(const std::string& path);

// The sample folder root\CDnnnn\Lmmmm of a CD-ROM folder, from the disc signature and the folder key, or empty
// when the disc or folder is not catalogued or an index cannot be written. With create, missing index lines are
// appended and both folders are made with makeFolder when missing (its failure is not reported: the path is
// still given, as the index names it).
std::string ResolveDiscSampleDir(const std::string& root, const std::string& signature, const std::string& folderKey,
                                 bool create, const std::function<void(const std::string&)>& makeFolder);

} // namespace fovea
