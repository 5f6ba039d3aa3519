// Plays engine commands read from standard input and prints what the engine does, one line per
// event, so that whole games can be checked as text.
//
//   init | new | level N | play C red | play C blue | auto T
//
// Output: draw C R, win R B, tie, choose C R, beep, msgbox TEXT, quit; after the last command the
// move log and the trace as they are.
#include <cstdint>
#include <iostream>
#include <string>

#include "UnPlateau.h"

namespace {

class ReplayPlatform : public EnginePlatform {
public:
    explicit ReplayPlatform(std::ostream& out) : out_(out) {}
    std::int64_t ticks = 0;

    void Beep() override { out_ << "beep\n"; }
    std::int64_t Ticks() override { return ticks; }
    std::string EndOfLine() override { return "\n"; }
    void MsgBox(const std::string& text) override { out_ << "msgbox " << text << '\n'; }
    void Quit(int) override { out_ << "quit\n"; }

private:
    std::ostream& out_;
};

} // namespace

int main() {
    std::ostream& out = std::cout;
    ReplayPlatform platform(out);
    UnPlateau board(platform);
    board.MDessineLaCase = [&](std::int32_t x, std::int32_t y) { out << "draw " << x << ' ' << y << '\n'; };
    board.MGagnant = [&](bool r, bool b) { out << "win " << r << ' ' << b << '\n'; };
    board.MEgalite = [&] { out << "tie\n"; };
    board.MCaseAJouer = [&](UneCase& c) {
        out << "choose " << c.PX << ' ' << c.PY << '\n';
        board.MJoue(c.PX, true, false); // as the main window does
    };

    for (std::string command; std::cin >> command;) {
        std::int32_t column = 0;
        std::string colour;
        if (command == "init") {
            board.MInitPlateau();
        } else if (command == "new") {
            board.MNouvellePartie();
        } else if (command == "level" && std::cin >> board.PNiveau) {
            // read straight into the board
        } else if (command == "play" && std::cin >> column >> colour &&
                   (colour == "red" || colour == "blue")) {
            board.MJoue(column, colour == "red", colour == "blue");
        } else if (command == "auto" && std::cin >> platform.ticks) {
            board.MAutomateSuivant();
        } else {
            std::cerr << "replay: cannot read \"" << command << "\"\n";
            return 2;
        }
    }
    out << "--journal--\n" << board.PJournal << "--trace--" << board.TraceText << "\n--end--\n";
    return 0;
}
