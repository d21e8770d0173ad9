// Test helpers for plug-ins checked against reference tools: a folder of pictures with a manifest made at build
// time, compared picture by picture; under Wine, a plug-in DLL's export called as the program calls it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "plugins/shim/Picture.h"

namespace golden {

// Decodes the picture at PATH whole (GetPicture) or reduced (GetPreview); returns the plug-in's result.
using DecodeCall = std::function<int(const std::string& path, bool preview, fovea::DecodedPicture& out)>;

// Every line of DIR/manifest.txt (FILE REFERENCE TOLERANCE CALL, CALL being picture or preview) decoded and
// compared with its reference picture within the tolerance; fails the test when fewer than atLeast lines ran.
void ExpectManifestMatches(const std::string& dir, const DecodeCall& decode, int atLeast);

using DecodeFunction = int (*)(const uint8_t* data, size_t size, fovea::DecodedPicture& out);

// One plug-in as its tests call it: on the host its decoder functions, under Wine its DLL's exports (GetPicture
// for the whole picture, GetPreview for the reduced one).
struct PluginUnderTest {
    std::string dllPath;
    DecodeFunction whole;
    DecodeFunction reduced;

    int Decode(const std::vector<uint8_t>& data, bool preview, fovea::DecodedPicture& out) const;
    int DecodeFile(const std::string& path, bool preview, fovea::DecodedPicture& out) const;
};

// The same, each picture decoded by the plug-in under test.
void ExpectManifestMatches(const std::string& dir, const PluginUnderTest& plugin, int atLeast);

#ifdef _WIN32
// Calls GetPicture or GetPreview of the DLL at dllPath (loaded once) on a file (flag 0, len 0) or on bytes in
// memory (flag 1, len their count) and turns the two blocks it returns back into a decoded picture.
int CallPlugin(const std::string& dllPath, bool preview, const void* input, long len, unsigned flag,
               fovea::DecodedPicture& out);
#endif

} // namespace golden
