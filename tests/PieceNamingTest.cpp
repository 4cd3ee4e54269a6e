#include "CuttingPlan.h"
#include "PieceNaming.h"

#include <gtest/gtest.h>

namespace {

using namespace engine;

struct NamingCase {
    const char* source;
    const char* basePath;
    const char* firstPiece;
    const char* script;
    const char* bareSource;
};

void expectNaming(const NamingCase& c, char separator)
{
    SCOPED_TRACE(c.source);
    EXPECT_EQ(BasisPfad(c.source, separator), c.basePath);
    EXPECT_EQ(pieceName(BasisPfad(c.source, separator), 1), c.firstPiece);
    EXPECT_EQ(scriptName(BasisPfad(c.source, separator)), c.script);
    EXPECT_EQ(NurDateiname(c.source, separator), c.bareSource);
}

TEST(PieceNaming, FormsNamesFromWindowsPaths)
{
    const NamingCase cases[] = {
        {R"(C:\Daten\film.avi)", R"(C:\Daten\film.)", R"(C:\Daten\film.001)", R"(C:\Daten\film.bat)", "film.avi"},
        {R"(C:\Daten\archiv.tar.gz)", R"(C:\Daten\archiv.tar.)", R"(C:\Daten\archiv.tar.001)",
         R"(C:\Daten\archiv.tar.bat)", "archiv.tar.gz"},
        {R"(C:\Daten\LIESMICH)", R"(C:\Daten\LIESMICH.)", R"(C:\Daten\LIESMICH.001)", R"(C:\Daten\LIESMICH.bat)",
         "LIESMICH"},
        // A dot only in a folder name: the pieces still lie beside the source.
        {R"(C:\Neu.Ordner\LIESMICH)", R"(C:\Neu.Ordner\LIESMICH.)", R"(C:\Neu.Ordner\LIESMICH.001)",
         R"(C:\Neu.Ordner\LIESMICH.bat)", "LIESMICH"},
        // Named like its own first piece.
        {R"(C:\Daten\film.001)", R"(C:\Daten\film.)", R"(C:\Daten\film.001)", R"(C:\Daten\film.bat)", "film.001"},
        {R"(C:\film.avi)", R"(C:\film.)", R"(C:\film.001)", R"(C:\film.bat)", "film.avi"},
        {"film.avi", "film.", "film.001", "film.bat", "film.avi"},
    };
    for (const auto& c : cases)
        expectNaming(c, '\\');
    EXPECT_EQ(NurDateiname(R"(C:\Daten\)", '\\'), "");
    EXPECT_EQ(NurDateiname("C:/Daten/film.avi", '\\'), "C:/Daten/film.avi");  // "/" is a letter there
}

TEST(PieceNaming, FormsNamesFromLinuxPaths)
{
    const NamingCase cases[] = {
        {"/home/anna/film.avi", "/home/anna/film.", "/home/anna/film.001", "/home/anna/film.bat", "film.avi"},
        {"/home/neu.ordner/LIESMICH", "/home/neu.ordner/LIESMICH.", "/home/neu.ordner/LIESMICH.001",
         "/home/neu.ordner/LIESMICH.bat", "LIESMICH"},
        {"/daten/.versteckt", "/daten/.", "/daten/.001", "/daten/.bat", ".versteckt"},
    };
    for (const auto& c : cases)
        expectNaming(c, '/');
}

TEST(CuttingPlan, CountsPiecesAndTheirLengths)
{
    const struct {
        ByteCount source, piece;
        std::int64_t count;
        ByteCount last;
    } cases[] = {{10, 10, 1, 10}, {21, 10, 3, 1}, {30, 10, 3, 10}, {3000000, 1433600, 3, 132800},
                 {5LL << 30, 5LL << 29, 2, 5LL << 29}, {(5LL << 30) + 1, 1LL << 31, 3, (1LL << 30) + 1}};
    for (const auto& c : cases) {
        const CuttingPlan plan = planCutting("/d/film.avi", c.piece, c.source, '/');
        EXPECT_EQ(plan.pieceCount, c.count) << c.source;
        EXPECT_EQ(plan.lengthOf(1), std::min(c.piece, c.source));
        EXPECT_EQ(plan.lengthOf(plan.pieceCount), c.last);
    }
}

} // namespace
