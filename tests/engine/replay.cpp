// Plays engine commands read from standard input and prints what the engine does, one line per
// event, so that whole games can be checked as text.
//
//   init | new | level N | play C red | play C blue | auto T
//
// Output: draw C R, win R B, tie, choose C R, beep, msgbox TEXT, quit; after the last command the
// move log and the trace as they are.
#include <cstdint>
#include <iostream>
#include <sstream>
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

// The whole number that ends the stream, or nothing.
template <class T> bool Lire(std::istringstream& in, T& value) {
    std::string rest;
    return static_cast<bool>(in >> value) && !(in >> rest);
}

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

    std::string line;
    int number = 0;
    while (std::getline(std::cin, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream in(line);
        std::string command;
        if (!(in >> command)) continue; // blank line
        bool ok = true;
        if (command == "init" || command == "new") {
            std::string rest;
            ok = !(in >> rest);
            if (ok && command == "init") board.MInitPlateau();
            if (ok && command == "new") board.MNouvellePartie();
        } else if (command == "level") {
            std::int32_t n = 0;
            ok = Lire(in, n);
            if (ok) board.PNiveau = n;
        } else if (command == "play") {
            std::int32_t column = 0;
            std::string colour, rest;
            ok = (in >> column >> colour) && !(in >> rest) && (colour == "red" || colour == "blue");
            if (ok) board.MJoue(column, colour == "red", colour == "blue");
        } else if (command == "auto") {
            std::int64_t t = 0;
            ok = Lire(in, t);
            if (ok) {
                platform.ticks = t;
                board.MAutomateSuivant();
            }
        } else {
            ok = false;
        }
        if (!ok) {
            std::cerr << "replay: line " << number << ": cannot read \"" << line << "\"\n";
            return 2;
        }
    }
    out << "--journal--\n" << board.PJournal << "--trace--" << board.TraceText << "\n--end--\n";
    return 0;
}
