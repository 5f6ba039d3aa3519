// The three score levels (strong, medium, weak), fed with evaluation results set by hand.
#include <limits>
#include <map>
#include <sstream>

#include "EngineTest.h"

namespace {

constexpr std::int32_t kFort = 0, kMoyen = 1, kFaible = 2;
constexpr std::int32_t kAny = std::numeric_limits<std::int32_t>::min(); // not checked at that level

// Sets evaluation results written "field=value"; a leading "^", "/" or "\" sets them on the cell
// above, up-right or up-left instead.
void Set(UneCase& cell, const std::string& results) {
    const std::map<std::string, std::int32_t UneCase::*> numbers{
        {"maxR", &UneCase::PCalcMaxRouge},       {"maxB", &UneCase::PCalcMaxBleu},
        {"possR", &UneCase::PCalcPossibleRouge}, {"possB", &UneCase::PCalcPossibleBleu},
        {"d2R", &UneCase::PCalcDanger2Rouge},    {"d2B", &UneCase::PCalcDanger2Bleu}};
    const std::map<char, UneCase * UneCase::*> neighbours{
        {'^', &UneCase::PCaseVerPlus}, {'/', &UneCase::PCaseMonPlus}, {'\\', &UneCase::PCaseDesPlus}};
    std::istringstream in(results);
    for (std::string item; in >> item;) {
        UneCase* c = &cell;
        if (neighbours.count(item[0])) {
            c = cell.*neighbours.at(item[0]);
            item.erase(0, 1);
        }
        const std::string field = item.substr(0, item.find('='));
        const int value = std::stoi(item.substr(item.find('=') + 1));
        if (field.rfind("tie", 0) == 0)
            (field == "tieR" ? c->PCalcMaxRougeMult : c->PCalcMaxBleuMult) = value;
        else
            c->*numbers.at(field) = value;
    }
}

TEST(ScoreTest, WorkedExamples) {
    struct Case {
        int x, y;
        const char* set;
        std::int32_t fort, moyen, faible;
    };
    const std::vector<Case> cases = {
        // Two red with room: the centre bonus twice in the middle, once beside it, never elsewhere.
        {3, 1, "possR=2", 4236, 3851, 3501},
        {3, 2, "possR=2", 4236, 3851, 3501},
        {2, 1, "possR=2", 3851, 3851, kAny},
        {4, 2, "possR=2", 3851, 3851, kAny},
        {3, 3, "possR=2", 3501, 3501, 3501},
        {3, 0, "possR=2", 3501, 3501, kAny},
        {1, 2, "possR=2", 3501, 3501, kAny},
        {5, 1, "possR=2", 3501, 3501, kAny},
        // Win and block tiers; no penalty from above reaches them.
        {3, 1, "maxR=3 maxB=3 tieB=1 ^maxB=3", 5000000, 5000000, 5000000},
        {3, 1, "maxR=3 maxB=3 tieB=1 tieR=1 ^maxB=3", kAny, kAny, 9000000},
        {3, 1, "maxR=2 maxB=3 tieB=1 tieR=1 ^maxB=3", 2990000, kAny, kAny},
        {3, 1, "maxR=2 maxB=4 tieR=1 ^maxB=3", kAny, 2580000, kAny},
        {1, 0, "maxB=3 possR=2 tieR=1", 2580000, 2580000, 2580000},
        // Penalties from the cell above; the weak level looks at no other cell.
        {1, 0, "^maxB=3", -900000, -900000, 1},
        {1, 0, "^maxR=3", 1, kAny, kAny},
        {1, 0, "^maxR=4", -40000, kAny, kAny},
        {1, 0, "^maxR=4 ^possB=2", -41000, -41000, kAny},
        {1, 0, "^possB=2 d2B=1", 900000, 900000, kAny}, // a blue threat replaces the -1,000
        {1, 0, "^possB=2 d2B=2", 950000, kAny, kAny},
        // -999 x 1.1 = -1098.9, then -1098 x 1.1 = -1207.8: the fraction is dropped.
        {3, 1, "^possB=2", -1207, -1098, kAny},
        // Diagonal neighbours, strong only; 8,501 x 1.1 = 9,351 is past 9,000: no second bonus.
        {3, 1, "/maxR=3", 50001, 1, kAny},
        {3, 1, "/maxR=3 \\maxR=2", 55001, kAny, kAny},
        {3, 1, "\\maxR=2 possR=2", 9351, kAny, kAny},
        {6, 0, "", 1, kAny, kAny}, // up-right of the edge is the outside cell
        // Threats and three blue; a centre cell at 9,000 or more keeps its sum.
        {0, 0, "d2R=10", 11001, 1, kAny},
        {0, 0, "d2R=1", 2001, kAny, kAny},
        {0, 0, "possB=3", 9001, kAny, kAny},
        {0, 0, "possB=3 tieB=1", 18501, kAny, kAny},
        {3, 2, "possB=3", 9001, kAny, kAny},
        // Sum terms by level; the weak level ignores two blue.
        {0, 0, "possR=2 tieR=1", 7901, 7901, 7901},
        {0, 0, "possB=2 tieB=1", 4501, kAny, 1},
        {0, 0, "possB=1 tieB=1", kAny, kAny, 186},
        {0, 0, "possB=1", kAny, kAny, 96},
        {0, 0, "possR=1", kAny, 4, kAny},
        {0, 0, "possR=1 tieR=1", kAny, 8, kAny},
    };
    for (const Case& c : cases) {
        RecordingPlatform platform;
        UnPlateau board(platform);
        board.MInitPlateau();
        UneCase& cell = *board.PCase(c.x, c.y);
        Set(cell, c.set);
        // A stored level out of range is used as it comes: as strong.
        for (auto [level, expected] : {std::pair{kFort, c.fort},
                                       {kMoyen, c.moyen},
                                       {kFaible, c.faible},
                                       {-1, c.fort},
                                       {3, c.fort},
                                       {7, c.fort}}) {
            if (expected == kAny) continue;
            cell.MCALCULDuScore(level);
            EXPECT_EQ(cell.PScore, expected) << c.x << "," << c.y << " " << c.set << ", level " << level;
        }
    }
}

} // namespace
