// Index files of the CD-ROM sample folders and the folder they name.
#include "browser/SampleFolder.h"

#include <cstdio>
#include <memory>

namespace fovea {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using ScopedStdFile = std::unique_ptr<std::FILE, FileCloser>;

std::string Numbered(const char* format, int n)
{
    char name[32];
    std::snprintf(name, sizeof name, format, n);
    return name;
}

} // namespace

int FindLine(const std::string& file, const std::string& text)
{
    // Binary reads with the CR stripped by hand give the same lines on every platform. Lines are compared as
    // they stream by, so an index of any length, or a line of any length, costs no memory.
    ScopedStdFile in(std::fopen(file.c_str(), "rb"));
    if (!in)
        return -1;
    int number = 0;
    size_t matched = 0; // bytes of text matched so far on this line
    bool alive = true;  // the line still equals text's first bytes
    bool pendingCr = false;
    bool lineHasBytes = false;
    for (;;) {
        int c = std::fgetc(in.get());
        if (c == EOF || c == '\n') {
            // A CR held back at the line's end belongs to the line end. At the end of the file only a started
            // line counts: an empty file has no lines.
            bool isLine = c == '\n' || lineHasBytes;
            if (isLine && alive && matched == text.size())
                return number;
            if (c == EOF)
                return -1;
            ++number;
            matched = 0;
            alive = true;
            pendingCr = false;
            lineHasBytes = false;
            continue;
        }
        lineHasBytes = true;
        if (pendingCr) {
            // The held CR was inside the line after all.
            pendingCr = false;
            if (alive && matched < text.size() && text[matched] == '\r')
                ++matched;
            else
                alive = false;
        }
        if (c == '\r') {
            pendingCr = true;
            continue;
        }
        if (alive && matched < text.size() && static_cast<unsigned char>(text[matched]) == c)
            ++matched;
        else
            alive = false;
    }
}

int AppendLine(const std::string& file, const std::string& text)
{
    {
        ScopedStdFile out(std::fopen(file.c_str(), "ab"));
        if (!out)
            return -1;
        // A last line without its line end would swallow the new entry: end it first.
        std::fseek(out.get(), 0, SEEK_END);
        long size = std::ftell(out.get());
        if (size > 0) {
            ScopedStdFile in(std::fopen(file.c_str(), "rb"));
            if (in && std::fseek(in.get(), -1, SEEK_END) == 0 && std::fgetc(in.get()) != '\n')
                std::fputs("\r\n", out.get());
        }
        std::fwrite(text.data(), 1, text.size(), out.get());
        std::fputs("\r\n", out.get());
    }
    return FindLine(file, text);
}

std::string FolderKeyOfPath(const std::string& path)
{
    return path.size() > 2 ? path.substr(2) : std::string();
}

std::string ResolveDiscSampleDir(const std::string& root, const std::string& signature, const std::string& folderKey,
                                 bool create, const std::function<void(const std::string&)>& makeFolder)
{
    std::string discIndex = root + "\\CD.SRC";
    int disc = FindLine(discIndex, signature);
    if (disc < 0 && create)
        disc = AppendLine(discIndex, signature);
    if (disc < 0)
        return std::string();

    std::string discDir = root + "\\" + Numbered("CD%04d", disc);
    // A disc folder deleted by hand while CD.SRC still names it is made again, with a fresh folder index.
    if (create && makeFolder)
        makeFolder(discDir);
    std::string folderIndex = discDir + "\\DR.SRC";
    int folder = FindLine(folderIndex, folderKey);
    if (folder < 0 && create)
        folder = AppendLine(folderIndex, folderKey);
    if (folder < 0)
        return std::string();
    std::string folderDir = discDir + "\\" + Numbered("L%04d", folder);
    // Likewise a folder that DR.SRC names: samples are about to be written into it.
    if (create && makeFolder)
        makeFolder(folderDir);
    return folderDir;
}

} // namespace fovea
