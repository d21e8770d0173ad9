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

// The plug-ins beyond the list: only .SPI files, none of the listed names in any case, in name order, each once.
TEST(PluginFilter, ForeignPluginsAreTheOtherSpiFilesInNameOrder)
{
    const std::vector<std::string> listed = {"IFJPEG.SPI", "IFGIF.SPI"};
    EXPECT_EQ(ForeignPluginNames({"ifwebp.spi", "IFJPEG.SPI", "ifgif.Spi", "AXPNG.SPI", "IFPNG.SPI", "readme.txt",
                                  "photo.spix", "X.SPI.BAK", ".SPI", "b.spi", "B.SPI"},
                                 listed),
              (std::vector<std::string>{"AXPNG.SPI", "B.SPI", "IFPNG.SPI", "ifwebp.spi"}));
    EXPECT_TRUE(ForeignPluginNames({}, listed).empty());
}
