// The plug-in host's reading of filter texts: every extension a plug-in names is found, nothing else is.
#include <gtest/gtest.h>

#include "image/PluginFilter.h"

TEST(PluginFilter, EveryExtensionOfTheFilterAndNoOther)
{
    const struct {
        const char* filter;
        const char* list;
    } cases[] = {
        {"*.jpg", "JPG"},
        {"*.jpg;*.jpeg;*.jpe", "JPG;JPEG;JPE"},
        {"*.Tif,*.TIFF", "TIF;TIFF"},
        {"*.mag *.max", "MAG;MAX"},
        {"*.*;*.j?g;*;x.bmp;*.pi;", "PI"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        EXPECT_EQ(FilterExtensions(c.filter), c.list);
    }
    const std::string list = FilterExtensions("*.jpg;*.jpeg;*.jpe");
    for (const char* extension : {"JPG", "JPEG", "JPE"})
        EXPECT_TRUE(ExtensionListHas(list, extension)) << extension;
    for (const char* extension : {"JP", "JPEGS", "jpg", "", "JPG;JPEG", "PEG"})
        EXPECT_FALSE(ExtensionListHas(list, extension)) << extension;
    EXPECT_FALSE(ExtensionListHas("", ""));
}
