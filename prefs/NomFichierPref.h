#pragma once
// The name of the game's settings file in the user's preferences folder.
inline constexpr char kNomFichierPref[] = "Talvo.Kestrova.Pref";
