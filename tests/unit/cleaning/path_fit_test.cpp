#include "cleaning/path_fit.h"

#include <gtest/gtest.h>

namespace vgx {
namespace {

// One unit per character (UTF-8 continuation bytes count nothing).
int Chars(std::string_view s) {
    int n = 0;
    for (char c : s) {
        if ((static_cast<unsigned char>(c) & 0xC0U) != 0x80U)
            ++n;
    }
    return n;
}

TEST(FitPathToWidth, KeepsWhatFitsAndShortensTheDirectoryPart) {
    EXPECT_EQ(FitPathToWidth("", Chars, 0), "");
    EXPECT_EQ(FitPathToWidth("/srv/share", Chars, 10), "/srv/share");
    EXPECT_EQ(FitPathToWidth("/srv/compartilhado/documentos/final", Chars, 20),
              "/srv/compar.../final");
    EXPECT_EQ(Chars(FitPathToWidth("/srv/compartilhado/documentos/final", Chars, 20)), 20);
}

TEST(FitPathToWidth, TheLastComponentStaysWholeEvenWhenTooWide) {
    EXPECT_EQ(FitPathToWidth("/srv/um-nome-muito-comprido", Chars, 10),
              ".../um-nome-muito-comprido");
    EXPECT_EQ(FitPathToWidth("sem-barra-nenhuma", Chars, 5), "sem-barra-nenhuma");
    EXPECT_EQ(FitPathToWidth("/a/bbbbbbbbbbbb/c/", Chars, 9), "/a/.../c/");
}

TEST(FitPathToWidth, NeverSplitsACharacter) {
    const std::string out = FitPathToWidth("/ação/ação/ação/fim", Chars, 12);
    EXPECT_EQ(out, "/ação.../fim");
    // With a byte-counting measure the cut still lands between characters.
    const auto bytes = [](std::string_view s) { return static_cast<int>(s.size()); };
    EXPECT_EQ(FitPathToWidth("/ção/x", bytes, 7), "/.../x");  // "/ç" would need 3 bytes
}

}  // namespace
}  // namespace vgx
