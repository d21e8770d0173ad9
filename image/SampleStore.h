// The sample bank files of a folder on disk: which pair the sample depth uses, reading the index, replacing a
// bank as a whole (never an image and an index that disagree), merging new samples into it and deleting it.
#pragma once

#include <string>
#include <vector>

#include "framework/String.h"

class CDib;

namespace fovea {

struct BankFiles {
    CString image;
    CString index;
};

// The bank pair of the application's sample depth in folder.
BankFiles BankFilesIn(const CString& folder);

// The names of an index file; false when it cannot be opened.
bool ReadBankIndexFile(const CString& path, std::vector<std::string>& names);

// Writes strip and names beside the bank's files and moves both into place only when both are complete. On
// failure the old bank is as it was, nothing new is left behind and failedPath names the file that could not
// be written.
bool ReplaceBank(const BankFiles& files, CDib& strip, const std::vector<std::string>& names, CString* failedPath);

// Tells the user that the bank in folder could not be written and that the old one is kept.
void ReportBankWriteFailure(const CString& path);

// Merges the sample files (NAME.SMP) of newNames in sampleDir into its bank: the old samples of other names
// first, then the new ones in order, "MISS" for a file that cannot be read. False when the bank could not be
// written (the user has been told, the old bank is kept).
bool MergeSampleFiles(const CString& sampleDir, const std::vector<std::string>& newNames);

// Removes the sample files of names from sampleDir; a missing file is not an error.
void DeleteSampleFiles(const CString& sampleDir, const std::vector<std::string>& names);

// Deletes the bank pair of the sample depth in sampleDir (the other depth's pair stays).
void DeleteBank(const CString& sampleDir);

// Tells the user that a disc folder got no sample folder: the index files under sampleRoot cannot be written.
void ReportNoSampleFolder(const CString& sampleRoot);

} // namespace fovea
